#include "ui/Container.h"

namespace dv::ui {

namespace {

LRESULT CALLBACK ContainerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (RouteChildMessage(hwnd, message, wParam, lParam, result))
        return result;
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

const wchar_t* TContainer::ClassName() {
    static const wchar_t* name = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = ContainerProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = "DormivanePage";
        RegisterClassA(&windowClass);
        return L"DormivanePage";
    }();
    return name;
}

void TContainer::Create(TControl* parent, TBounds bounds, DWORD exStyle) {
    CreateHandle(parent, ClassName(), "", WS_CLIPSIBLINGS, exStyle, bounds);
}

} // namespace dv::ui
