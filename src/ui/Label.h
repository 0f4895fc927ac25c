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
    // For a picture label (SS_ICON): an icon resource of the program, drawn at
    // size x size pixels at 96 DPI and loaded at the size for the label's DPI.
    void SetIcon(int resourceId, int size);
    void ScaleTo(int dpi) override;

  private:
    void ShowIcon();
    void KeepCaptionWhole();
    int CaptionWidth(int dpi) const;
    int iconId_ = 0;
    int iconSize_ = 0;
};

} // namespace dv::ui
