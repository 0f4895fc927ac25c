#pragma once
// Display scale: the layout is designed at 96 pixels per inch and every figure
// is scaled to the DPI of the window that shows it.
#include <windows.h>

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace dv::ui {

inline constexpr int kDesignDpi = 96;

// A design figure (pixels at 96 DPI) at a DPI.
inline int Scale(int value, int dpi) { return MulDiv(value, dpi, kDesignDpi); }

// One DPI for the whole desktop: what systems without per-monitor scaling know.
int SystemDpi();
// The DPI of the display a window is on (the system's where Windows cannot tell).
int WindowDpi(HWND hwnd);
// A system metric (GetSystemMetrics) as it is at a DPI.
int MetricForDpi(int index, int dpi);
// The outer size of a window whose client area has this size at a DPI.
SIZE FrameSize(SIZE client, DWORD style, DWORD exStyle, int dpi);

struct TFont {
    int Points; // character height: 8 points are 11 pixels at 96 DPI
    const char* Face;
    int Weight = FW_NORMAL;
    bool Italic = false;
};

inline constexpr TFont kDefaultFont{8, "MS Sans Serif"};

// The font at a DPI; made once per DPI and kept while the program runs.
HFONT FontFor(const TFont& font, int dpi);

} // namespace dv::ui
