#pragma once
// The kinds of the platform's Button class: group box, push button, check box.
#include "ui/Control.h"
#include "ui/ImageList.h"

namespace dv::ui {

class TGroupBox : public TControl {
  public:
    void Create(TControl* parent, const std::string& caption, TBounds bounds);
};

class TButton : public TControl {
  public:
    void Create(TControl* parent, const std::string& caption, TBounds bounds,
                bool isDefault = false);
    // Shows a picture of the list beside the caption, at the list's size.
    void SetImage(TImageList* images, int index);
    // Runs the click handler as a press of the button does.
    void Click();
    bool Default = false;
    TNotifyEvent OnClick;
    void Command(WORD code) override;
    // The picture follows its list to the size for the DPI.
    void ScaleTo(int dpi) override;

  private:
    void ShowImage();
    TImageList* images_ = nullptr;
    int imageIndex_ = -1;
};

class TCheckBox : public TControl {
  public:
    void Create(TControl* parent, const std::string& caption, TBounds bounds);
    bool Checked() const;
    // Changing the state runs the click handler, as a click does.
    void SetChecked(bool checked);
    TNotifyEvent OnClick;
    void Command(WORD code) override;
};

} // namespace dv::ui
