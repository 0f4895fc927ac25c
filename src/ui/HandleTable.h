#pragma once
// The table that finds the control object of each window of ours. It is asked
// for every notification and mouse move, so it stays in the process: a window
// property would be a round trip to the window server under Wine.
#include <windows.h>

namespace dv::ui {

class TControl;

void RememberControl(HWND hwnd, TControl* control);
void ForgetControl(HWND hwnd);

} // namespace dv::ui
