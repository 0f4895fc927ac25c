#pragma once
// One tooltip window per top-level window. Every control is a tool whose text
// is asked for when the tip shows, so a hint changed later shows its new text.
// The tools' mouse messages reach their tooltip from a message hook of the
// thread, not by subclassing each control: a control subclassed through
// comctl32 looks up a window property on every message it gets, which under
// Wine is a round trip to the server.
#include <windows.h>

#include <commctrl.h>

namespace dv::ui {

// Makes a control a tool of its top-level window's tooltip.
void AddTool(HWND control);
// Answers TTN_GETDISPINFOW with the hint of the control the tip is for.
LRESULT TooltipText(NMTTDISPINFOW& info);

} // namespace dv::ui
