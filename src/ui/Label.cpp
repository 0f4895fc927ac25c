#include "ui/Label.h"

namespace dv::ui {

void TLabel::Create(TControl* parent, const std::string& caption, TBounds bounds,
                    bool showAccelChar, DWORD extraStyle) {
    CreateHandle(parent, L"Static", caption,
                 SS_LEFT | SS_NOTIFY | WS_VISIBLE | (showAccelChar ? 0 : SS_NOPREFIX) | extraStyle,
                 0, bounds);
    KeepCaptionWhole();
}

void TLabel::SetFontColor(COLORREF color) {
    FontColor = color;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TLabel::SetIcon(int resourceId, int size) {
    iconId_ = resourceId;
    iconSize_ = size;
    ShowIcon();
}

void TLabel::ShowIcon() {
    const int size = Scaled(iconSize_);
    auto icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(iconId_),
                                              IMAGE_ICON, size, size, 0));
    auto old = reinterpret_cast<HICON>(
        SendMessageA(hwnd_, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0));
    if (old)
        DestroyIcon(old);
}

void TLabel::ScaleTo(int dpi) {
    TControl::ScaleTo(dpi);
    if (iconId_)
        ShowIcon();
    else
        KeepCaptionWhole();
}

// Glyphs do not grow exactly with the font: a caption that just fits its label
// at 96 DPI can come out a pixel or two wider than the label scaled. The label
// then takes the caption's width, so that nothing is cut off that was whole at
// 96 DPI.
void TLabel::KeepCaptionWhole() {
    if (GetWindowTextLengthW(hwnd_) == 0 || CaptionWidth(kDesignDpi) > design_.Width)
        return;
    const int width = CaptionWidth(dpi_);
    const TBounds b = Bounds();
    if (width > b.Width)
        SetWindowPos(hwnd_, nullptr, 0, 0, width, b.Height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TLabel::CaptionWidth(int dpi) const {
    std::wstring text(size_t(GetWindowTextLengthW(hwnd_)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(hwnd_, text.data(), int(text.size()))));
    const bool prefix = !(GetWindowLongW(hwnd_, GWL_STYLE) & SS_NOPREFIX);
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, FontFor(font_, dpi));
    RECT r{0, 0, 0, 0};
    DrawTextW(dc, text.c_str(), int(text.size()), &r,
              DT_CALCRECT | DT_SINGLELINE | (prefix ? 0 : DT_NOPREFIX));
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    return r.right;
}

void TLabel::Command(WORD code) {
    if (code == STN_CLICKED && OnClick)
        OnClick();
}

} // namespace dv::ui
