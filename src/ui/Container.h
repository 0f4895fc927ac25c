#pragma once
// A plain window that holds other controls (tab pages, panels).
#include "ui/Window.h"

namespace dv::ui {

class TContainer : public TWindow {
  public:
    void Create(TControl* parent, TBounds bounds, DWORD exStyle = WS_EX_CONTROLPARENT);
    TNotifyEvent OnShow;
};

} // namespace dv::ui
