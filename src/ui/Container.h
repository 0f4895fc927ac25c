#pragma once
// A plain window that holds other controls (tab pages).
#include "ui/Control.h"

namespace dv::ui {

class TContainer : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds, DWORD exStyle = WS_EX_CONTROLPARENT);
    TNotifyEvent OnShow;
    static const wchar_t* ClassName();
};

} // namespace dv::ui
