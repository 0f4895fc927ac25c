#pragma once
// A one-line edit box.
#include "ui/Control.h"

namespace dv::ui {

class TEdit : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds);
    std::string Text() const { return Caption(); }
    void SetText(const std::string& text) { SetCaption(text); }
};

} // namespace dv::ui
