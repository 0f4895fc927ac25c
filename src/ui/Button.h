#pragma once
// The kinds of the platform's Button class: group box, push button, check box.
#include "ui/Control.h"

namespace dv::ui {

class TGroupBox : public TControl {
  public:
    void Create(TControl* parent, const std::string& caption, TBounds bounds);
};

class TButton : public TControl {
  public:
    void Create(TControl* parent, const std::string& caption, TBounds bounds,
                bool isDefault = false);
    void SetIcon(HICON icon);
    // Runs the click handler as a press of the button does.
    void Click();
    bool Default = false;
    TNotifyEvent OnClick;
    void Command(WORD code) override;
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
