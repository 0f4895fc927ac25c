#pragma once
// A static text, a picture or a line.
#include "ui/Control.h"

namespace dv::ui {

class TLabel : public TControl {
  public:
    // showAccelChar: "&" marks an accelerator; off for labels that show file names.
    void Create(TControl* parent, const std::string& caption, TBounds bounds,
                bool showAccelChar = true, DWORD extraStyle = 0);
    COLORREF FontColor = CLR_INVALID;
    void SetFontColor(COLORREF color);
    COLORREF TextColor() const override { return FontColor; }
    TNotifyEvent OnClick;
    void Command(WORD code) override;
};

} // namespace dv::ui
