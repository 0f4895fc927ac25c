#pragma once
// Item access shared by the two list-view kinds (check lists and the report list).
#include <windows.h>

#include <commctrl.h>

#include <string>

namespace dv::ui {

// The picture of a state: 1 unticked, 2 ticked, 0 none.
inline UINT StateImage(UINT state) { return (state & LVIS_STATEIMAGEMASK) >> 12; }

std::string ListViewText(HWND list, int index, int subItem);
bool ListViewChecked(HWND list, int index);
void ListViewSetChecked(HWND list, int index, bool checked);
int ListViewSelected(HWND list);
// Check box pictures of the given size, so that the item height can be smaller
// than the system's 16-pixel state images.
HIMAGELIST CheckImages(int size);
// Gives a list check box pictures of that size, in place of the ones it had.
void SetCheckImages(HWND list, int size);
void SetupListView(HWND list, DWORD exStyle);

} // namespace dv::ui
