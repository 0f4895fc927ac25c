#include "ui/ProgressBar.h"

#include <commctrl.h>

namespace dv::ui {

void TProgressBar::Create(TControl* parent, TBounds bounds, bool visible) {
    CreateHandle(parent, PROGRESS_CLASSW, "", visible ? WS_VISIBLE : 0, 0, bounds);
    SetRange(0, 100);
}

void TProgressBar::SetRange(int minimum, int maximum) {
    SendMessageA(hwnd_, PBM_SETRANGE32, WPARAM(minimum), LPARAM(maximum));
}

void TProgressBar::SetStep(int step) { SendMessageA(hwnd_, PBM_SETSTEP, WPARAM(step), 0); }

void TProgressBar::StepIt() { SendMessageA(hwnd_, PBM_STEPIT, 0, 0); }

void TProgressBar::StepBy(int delta) { SendMessageA(hwnd_, PBM_DELTAPOS, WPARAM(delta), 0); }

int TProgressBar::Position() const { return int(SendMessageA(hwnd_, PBM_GETPOS, 0, 0)); }

void TProgressBar::SetPosition(int position) {
    SendMessageA(hwnd_, PBM_SETPOS, WPARAM(position), 0);
}

int TProgressBar::Max() const { return int(SendMessageA(hwnd_, PBM_GETRANGE, FALSE, 0)); }

} // namespace dv::ui
