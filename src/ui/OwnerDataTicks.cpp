// The ticks of an owner-data list. The control keeps none, so a click on a
// check box, the space bar and LVM_SETITEMSTATE from anywhere (item -1 for
// every item) are turned into ticks of the owner here. Where the control tells
// of a tick itself (LVN_ITEMCHANGED), that report is the tick and the message
// adds none: a toggle must not happen twice. A double click adds nothing of its
// own: the platform's check lists toggle as the button goes down, which is
// followed here, and whatever the control toggles on the double click it tells.
#include "ui/OwnerDataList.h"

#include "ui/HeldInput.h"
#include "ui/ListViewItems.h"

#include <windowsx.h>

#include <optional>

namespace dv::ui {

namespace {

// The tick an LVM_SETITEMSTATE sets, if any; a message without an item (which
// the control refuses) sets none.
std::optional<bool> TickSet(LPARAM lParam) {
    const auto* item = reinterpret_cast<const LVITEMW*>(lParam);
    if (!item || !(item->stateMask & LVIS_STATEIMAGEMASK))
        return std::nullopt;
    const UINT image = StateImage(item->state);
    if (image == 0)
        return std::nullopt;
    return image == 2;
}

} // namespace

void TOwnerDataList::ForwardTicks() {
    // The procedure is swapped plainly, and the list found again by its handle:
    // comctl32's subclassing would look up a window property on every message.
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TickProc));
}

LRESULT CALLBACK TOwnerDataList::TickProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    // The window may outlive its object by the messages of its destruction.
    auto* self = static_cast<TOwnerDataList*>(FromHandle(hwnd));
    if (!self)
        return CallWindowProcW(reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)),
                               hwnd, message, wParam, lParam);
    // The procedure swapped in replaces the guard every control gets.
    const THeldInput::Visit visit(hwnd, message, wParam, lParam);
    if (visit.Held())
        return 0;
    // Any message may scroll, size or fill the list: which rows are in view
    // is asked again after it.
    self->viewEnd_ = -1;
    if (message == WM_LBUTTONDOWN || message == WM_KEYDOWN || message == LVM_SETITEMSTATE)
        return self->TickMessage(message, wParam, lParam);
    return self->Ask(message, wParam, lParam);
}

// The item whose check box a click or a key toggles, or -1.
int TOwnerDataList::ToggledItem(UINT message, WPARAM wParam, LPARAM lParam) const {
    if (message == WM_LBUTTONDOWN)
        return CheckBoxAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
    if (message == WM_KEYDOWN && wParam == VK_SPACE)
        return NextItem(-1, LVNI_FOCUSED);
    return -1;
}

LRESULT TOwnerDataList::TickMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const unsigned toldBefore = ticksTold_;
    const int toggled = ToggledItem(message, wParam, lParam);
    const LRESULT result = Ask(message, wParam, lParam);
    if (ticksTold_ != toldBefore)
        return result;
    if (message == LVM_SETITEMSTATE) {
        if (const std::optional<bool> ticked = TickSet(lParam))
            Tick(int(wParam), *ticked);
    } else if (toggled >= 0) {
        Tick(toggled, !ItemChecked(toggled));
    }
    return result;
}

void TOwnerDataList::Tick(int index, bool checked) {
    if (!OnCheck)
        return;
    OnCheck(index, checked);
    RECT row;
    if (index < 0)
        Refresh();
    else if (RowRect(index, row))
        InvalidateRect(hwnd_, &row, TRUE);
}

} // namespace dv::ui
