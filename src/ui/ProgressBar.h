#pragma once
// A progress bar.
#include "ui/Control.h"

namespace dv::ui {

class TProgressBar : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds, bool visible = true);
    void SetRange(int minimum, int maximum);
    void SetStep(int step);
    void StepIt();
    void StepBy(int delta);
    int Position() const;
    void SetPosition(int position);
    int Max() const;
};

} // namespace dv::ui
