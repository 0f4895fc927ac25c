#include "ui/Label.h"

namespace dv::ui {

void TLabel::Create(TControl* parent, const std::string& caption, TBounds bounds,
                    bool showAccelChar, DWORD extraStyle) {
    CreateHandle(parent, L"Static", caption,
                 SS_LEFT | SS_NOTIFY | WS_VISIBLE | (showAccelChar ? 0 : SS_NOPREFIX) | extraStyle,
                 0, bounds);
}

void TLabel::SetFontColor(COLORREF color) {
    FontColor = color;
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TLabel::Command(WORD code) {
    if (code == STN_CLICKED && OnClick)
        OnClick();
}

} // namespace dv::ui
