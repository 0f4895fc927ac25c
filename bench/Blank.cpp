// The least a windowed program does at start: register a class, make a
// window and show it. With the argument "auto" it ends before showing it.
#include <windows.h>

#include <cstring>

namespace {

LRESULT CALLBACK BlankProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR arguments, int) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = BlankProc;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = "DvBenchBlank";
    RegisterClassA(&windowClass);
    HWND hwnd = CreateWindowExA(0, "DvBenchBlank", "Blank", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                CW_USEDEFAULT, 443, 302, nullptr, nullptr, instance, nullptr);
    if (std::strcmp(arguments, "auto") == 0)
        return 0;
    ShowWindow(hwnd, SW_SHOWNORMAL);
    UpdateWindow(hwnd);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
