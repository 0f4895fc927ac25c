#pragma once
// The messages a window of ours receives from and about its child controls
// (commands, notifications, colours, cursors, context menus), passed on to the
// control objects.
#include "ui/Control.h"

#include <functional>

namespace dv::ui {

// True when the message was one of these and has been handled.
bool RouteChildMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Receives every change of the control under the mouse, for the status bar's
// automatic hint.
extern std::function<void(TControl*)> OnMouseOverControl;

} // namespace dv::ui
