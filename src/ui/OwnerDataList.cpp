#include "ui/OwnerDataList.h"

#include "ui/ListViewItems.h"

#include <algorithm>

namespace dv::ui {

void TOwnerDataList::Create(TControl* parent, TBounds bounds, const std::vector<Column>& columns) {
    TListView::Create(parent, bounds, columns, LVS_OWNERDATA);
    // The ticks are the owner's too: the control asks for them as for texts.
    SendMessageW(hwnd_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    ForwardTicks();
}

void TOwnerDataList::Inserted(int index, int count) {
    // The selection as the control last told it: asking costs more than the
    // rest of putting an item in.
    if (selected_ >= index) {
        movingSelection_ = true;
        Grown(count); // the control selects only items it has
        SetSelected(selected_ + 1, true);
        movingSelection_ = false;
    }
    RepaintFrom(index);
}

void TOwnerDataList::Grown(int count) {
    SendMessageW(hwnd_, LVM_SETITEMCOUNT, WPARAM(count), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
}

void TOwnerDataList::Removed(const std::vector<int>& positions, int count) {
    const int selected = SelectedIndex();
    movingSelection_ = true;
    if (selected >= 0)
        SetSelected(selected, false);
    SetCount(count);
    if (selected >= 0 && !std::binary_search(positions.begin(), positions.end(), selected)) {
        const auto removedBefore = std::lower_bound(positions.begin(), positions.end(), selected);
        SetSelected(selected - int(removedBefore - positions.begin()), true);
    }
    movingSelection_ = false;
    Refresh();
}

void TOwnerDataList::Clear() {
    selected_ = -1; // the control drops its selection without a word
    movingSelection_ = true;
    SetCount(0);
    movingSelection_ = false;
    Refresh();
}

int TOwnerDataList::SelectedIndex() const {
    // Searching the items for the selected one asks the owner for every item
    // on the way; the selection's last change is known without that.
    if (SelectedCount() == 0)
        return -1;
    if (selected_ >= 0 && Selected(selected_))
        return selected_;
    return NextItem(-1, LVNI_SELECTED);
}

void TOwnerDataList::RepaintFrom(int index) {
    // Asked once for the many items a scan puts in between two messages: only
    // a message to the control moves its rows, and TickProc forgets them then.
    if (viewEnd_ < 0) {
        viewTop_ = TopIndex();
        // Rows past the control's count stay empty until Grown paints them.
        viewEnd_ = std::min(viewTop_ + RowsPerPage() + 1, Count());
    }
    if (index >= viewEnd_)
        return; // below the rows in view: only the scroll bar changes
    // A hidden list is painted whole when it is shown, and ignores this.
    RepaintRowsFrom(std::max(index, viewTop_));
}

void TOwnerDataList::RepaintRowsFrom(int index) {
    RECT from{};
    if (!RowRect(index, from))
        return;
    RECT rest;
    GetClientRect(hwnd_, &rest);
    rest.top = from.top;
    InvalidateRect(hwnd_, &rest, TRUE);
}

void TOwnerDataList::ShowItem(NMLVDISPINFOW& request) const {
    LVITEMW& item = request.item;
    if ((item.mask & LVIF_TEXT) && OnItemText && item.cchTextMax > 0) {
        const std::wstring text = OnItemText(item.iItem, item.iSubItem);
        lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
    }
    if ((item.mask & LVIF_STATE) && item.iSubItem == 0) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) |
                     INDEXTOSTATEIMAGEMASK(ItemChecked(item.iItem) ? 2 : 1);
        item.stateMask |= LVIS_STATEIMAGEMASK;
    }
}

// Typed letters (LVFI_PARTIAL | LVFI_WRAP from the item after the focused one)
// and LVM_FINDITEM from other programs ask this.
LRESULT TOwnerDataList::FindItem(const NMLVFINDITEMW& request) const {
    const LVFINDINFOW& find = request.lvfi;
    if (!OnFindItem || !find.psz || !(find.flags & (LVFI_STRING | LVFI_PARTIAL)))
        return -1;
    return OnFindItem(find.psz, request.iStart, find.flags & LVFI_PARTIAL, find.flags & LVFI_WRAP);
}

void TOwnerDataList::ItemChanged(const NMLISTVIEW& change) {
    if (!(change.uChanged & LVIF_STATE))
        return;
    const UINT image = StateImage(change.uNewState);
    if (OnCheck && image != StateImage(change.uOldState) && image != 0) {
        ++ticksTold_;
        OnCheck(change.iItem, image == 2);
    }
    const bool selectionChanged = (change.uOldState ^ change.uNewState) & LVIS_SELECTED;
    if (!selectionChanged)
        return;
    const bool selected = change.uNewState & LVIS_SELECTED;
    if (selected && change.iItem >= 0)
        selected_ = change.iItem;
    else if (!selected && (change.iItem < 0 || change.iItem == selected_))
        selected_ = -1; // item -1: every item
    if (change.iItem < 0)
        return;
    if (OnSelectItem && !movingSelection_)
        OnSelectItem(change.iItem, change.uNewState & LVIS_SELECTED);
}

LRESULT TOwnerDataList::Notify(NMHDR& header) {
    switch (header.code) {
    case LVN_GETDISPINFOW:
        ShowItem(reinterpret_cast<NMLVDISPINFOW&>(header));
        return 0;
    case LVN_ODFINDITEMW:
        return FindItem(reinterpret_cast<NMLVFINDITEMW&>(header));
    case LVN_ITEMCHANGED:
        ItemChanged(reinterpret_cast<NMLISTVIEW&>(header));
        return 0;
    default:
        return 0;
    }
}

} // namespace dv::ui
