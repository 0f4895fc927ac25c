#include "ui/Dpi.h"

#include <map>
#include <string>
#include <tuple>

namespace dv::ui {

namespace {

// The per-monitor functions came with Windows 10; the program also runs on
// older systems, so they are looked up rather than imported.
template <typename Function> Function UserFunction(const char* name) {
    HMODULE user32 = GetModuleHandleA("user32.dll");
    FARPROC proc = user32 ? GetProcAddress(user32, name) : nullptr;
    // Through void(*)(), which GCC accepts as a stand-in for any function type.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}

} // namespace

int SystemDpi() {
    HDC screen = GetDC(nullptr);
    int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : kDesignDpi;
}

int WindowDpi(HWND hwnd) {
    static const auto getDpiForWindow = UserFunction<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    UINT dpi = getDpiForWindow && hwnd ? getDpiForWindow(hwnd) : 0;
    return dpi ? int(dpi) : SystemDpi();
}

int MetricForDpi(int index, int dpi) {
    static const auto getSystemMetricsForDpi =
        UserFunction<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    if (getSystemMetricsForDpi)
        return getSystemMetricsForDpi(index, UINT(dpi));
    return MulDiv(GetSystemMetrics(index), dpi, SystemDpi());
}

SIZE FrameSize(SIZE client, DWORD style, DWORD exStyle, int dpi) {
    static const auto adjustWindowRectExForDpi =
        UserFunction<BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (!adjustWindowRectExForDpi ||
        !adjustWindowRectExForDpi(&frame, style, FALSE, exStyle, UINT(dpi)))
        AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

HFONT FontFor(const TFont& font, int dpi) {
    using Key = std::tuple<int, std::string, int, bool, int>;
    static std::map<Key, HFONT> fonts;
    HFONT& made = fonts[Key{font.Points, font.Face, font.Weight, font.Italic, dpi}];
    if (!made)
        made = CreateFontA(-MulDiv(font.Points, dpi, 72), 0, 0, 0, font.Weight, font.Italic, FALSE,
                           FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                           DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Face);
    return made;
}

} // namespace dv::ui
