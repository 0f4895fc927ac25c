#pragma once
// Input to a list view as the user gives it: letters, the space bar, clicks on
// a check box. The messages carry no pointer, so they reach a list of another
// process as well.
#include <windows.h>

#include <string>
#include <vector>

namespace dvtest {

void TypeLetter(HWND list, wchar_t letter);
void PressSpace(HWND list);
void ClickCheckBox(HWND list, int index);
void DoubleClickCheckBox(HWND list, int index);

// The files the found-file tables scan for, in the list's order.
inline const std::vector<std::string> kListed = {"a.tmp", "b1.tmp", "B2.tmp", "c.tmp"};

} // namespace dvtest
