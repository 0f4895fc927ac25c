#pragma once
// One tooltip window per top-level window. Every control is a tool whose text
// is asked for when the tip shows, so a hint changed later shows its new text.
#include <windows.h>

#include <commctrl.h>

namespace dv::ui {

// Makes a control a tool of its top-level window's tooltip.
void AddTool(HWND control);
// Answers TTN_GETDISPINFOW with the hint of the control the tip is for.
LRESULT TooltipText(NMTTDISPINFOW& info);

} // namespace dv::ui
