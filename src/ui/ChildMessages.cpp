#include "ui/ChildMessages.h"

#include "app/Application.h"
#include "ui/PopupMenu.h"
#include "ui/Tooltips.h"

#include <windowsx.h>

namespace dv::ui {

std::function<void(TControl*)> OnMouseOverControl;

namespace {

HCURSOR CursorHandle(TCursor cursor) {
    return LoadCursor(nullptr, cursor == TCursor::Hand ? IDC_HAND : IDC_ARROW);
}

void ShowContextMenu(TControl& control, LPARAM position) {
    POINT point{GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == LPARAM(-1)) { // from the keyboard: at the control's corner
        point = {0, 0};
        ClientToScreen(control.Handle(), &point);
    }
    control.PopupMenu->Popup(control.Handle(), point.x, point.y);
}

} // namespace

bool RouteChildMessage(HWND, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
    case WM_COMMAND:
        if (TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam))) {
            Guarded([&] { control->Command(HIWORD(wParam)); });
            result = 0;
            return true;
        }
        return false;
    case WM_NOTIFYFORMAT:
        // The controls are Unicode windows: their notifications carry UTF-16
        // texts, so names found on disk reach them whole.
        result = NFR_UNICODE;
        return true;
    case WM_NOTIFY: {
        NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
        if (header.code == TTN_GETDISPINFOW) {
            result = TooltipText(reinterpret_cast<NMTTDISPINFOW&>(header));
            return true;
        }
        if (TControl* control = TControl::FromHandle(header.hwndFrom)) {
            result = 0;
            Guarded([&] { result = control->Notify(header); });
            return true;
        }
        return false;
    }
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        TControl* control = TControl::FromHandle(reinterpret_cast<HWND>(lParam));
        if (control && control->TextColor() != CLR_INVALID)
            SetTextColor(dc, control->TextColor());
        SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
        result = reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        return true;
    }
    case WM_SETCURSOR: {
        if (LOWORD(lParam) != HTCLIENT)
            return false;
        TControl* control = TControl::Enclosing(reinterpret_cast<HWND>(wParam));
        if (OnMouseOverControl)
            Guarded([&] { OnMouseOverControl(control); });
        if (!control || control->Cursor == TCursor::Default)
            return false;
        SetCursor(CursorHandle(control->Cursor));
        result = TRUE;
        return true;
    }
    case WM_CONTEXTMENU: {
        TControl* control = TControl::Enclosing(reinterpret_cast<HWND>(wParam));
        if (!control || !control->PopupMenu)
            return false;
        ShowContextMenu(*control, lParam);
        result = 0;
        return true;
    }
    default:
        return false;
    }
}

} // namespace dv::ui
