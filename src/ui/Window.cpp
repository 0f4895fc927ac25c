#include "ui/Window.h"

#include "app/Strings.h"
#include "ui/ChildMessages.h"
#include "ui/HeldInput.h"

#include <set>
#include <string>

namespace dv::ui {

namespace {

// Windows of every class of ours are ANSI windows: their messages carry the
// program's ANSI texts.
const char* Registered(const TWindowClass& windowClass, WNDPROC windowProc) {
    static std::set<std::string> registered;
    if (registered.insert(windowClass.Name).second) {
        WNDCLASSA description{};
        description.lpfnWndProc = windowProc;
        description.hInstance = GetModuleHandleA(nullptr);
        description.hIcon = windowClass.Icon;
        description.hCursor = LoadCursor(nullptr, IDC_ARROW);
        description.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        description.lpszClassName = windowClass.Name;
        RegisterClassA(&description);
    }
    return windowClass.Name;
}

TWindow* BoundTo(HWND hwnd) {
    return reinterpret_cast<TWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

} // namespace

TWindow::~TWindow() {
    if (hwnd_ && IsWindow(hwnd_))
        SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
}

void TWindow::CreateTopLevel(const TWindowClass& windowClass, const char* caption, DWORD style,
                             DWORD exStyle, RECT place) {
    CreateWindowExA(exStyle, Registered(windowClass, WindowProc), caption, style, place.left,
                    place.top, place.right - place.left, place.bottom - place.top, nullptr, nullptr,
                    GetModuleHandleA(nullptr), this);
}

void TWindow::CreateChild(const TWindowClass& windowClass, TControl* parent, DWORD style,
                          DWORD exStyle, TBounds bounds) {
    CreateHandle(parent, AnsiToWide(Registered(windowClass, WindowProc)).c_str(), "", style,
                 exStyle, bounds, this);
}

void TWindow::DestroyUnbound() {
    HWND hwnd = hwnd_;
    hwnd_ = nullptr;
    if (IsWindow(hwnd)) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        DestroyWindow(hwnd);
    }
}

LRESULT TWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DPICHANGED) { // sent to top-level windows only
        DpiChanged(wParam, lParam);
        return 0;
    }
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK TWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* window =
            static_cast<TWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window));
        window->Attach(hwnd, window->parent_);
    }
    TWindow* window = BoundTo(hwnd);
    if (!window) // messages before WM_NCCREATE, and after the object went away
        return DefWindowProcA(hwnd, message, wParam, lParam);
    const THeldInput::Visit visit(hwnd, message, wParam, lParam);
    if (visit.Held())
        return 0;
    LRESULT result = 0;
    if (RouteChildMessage(hwnd, message, wParam, lParam, result))
        return result;
    return window->HandleMessage(message, wParam, lParam);
}

} // namespace dv::ui
