#include "ui/ListView.h"

#include "app/Strings.h"
#include "ui/ListViewItems.h"

#include <windowsx.h>

namespace dv::ui {

namespace {

UINT StateImage(UINT state) { return (state & LVIS_STATEIMAGEMASK) >> 12; }

// The check box pictures, in pixels at 96 DPI.
const int kCheckSize = 13;

} // namespace

void TListView::Create(TControl* parent, TBounds bounds, const std::vector<Column>& columns) {
    CreateHandle(parent, WC_LISTVIEWW, "",
                 LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP |
                     WS_VISIBLE,
                 WS_EX_CLIENTEDGE, bounds);
    SetupListView(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_FLATSB | LVS_EX_TRACKSELECT);
    // The ticks are the owner's too: the control asks for them as for texts.
    SendMessageW(hwnd_, LVM_SETCALLBACKMASK, LVIS_STATEIMAGEMASK, 0);
    SetWindowSubclass(hwnd_, TickProc, 1, reinterpret_cast<DWORD_PTR>(this));
    for (size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = columns[i].RightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = Scaled(columns[i].Width);
        column.pszText = const_cast<char*>(columns[i].Caption.c_str());
        column.iSubItem = int(i);
        SendMessageA(hwnd_, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&column));
        columnWidths_.push_back(columns[i].Width);
    }
    // Check pictures of its own, as the check lists have: the system's come in
    // one size only.
    SetCheckImages(hwnd_, Scaled(kCheckSize));
}

void TListView::ScaleTo(int dpi) {
    TControl::ScaleTo(dpi);
    for (size_t i = 0; i < columnWidths_.size(); ++i)
        SendMessageA(hwnd_, LVM_SETCOLUMNWIDTH, WPARAM(i), MAKELPARAM(Scaled(columnWidths_[i]), 0));
    SetCheckImages(hwnd_, Scaled(kCheckSize));
}

int TListView::Count() const { return int(SendMessageW(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }

void TListView::SetCount(int count) {
    SendMessageW(hwnd_, LVM_SETITEMCOUNT, WPARAM(count), LVSICF_NOSCROLL);
}

void TListView::Inserted(int index) {
    if (!IsWindowVisible(hwnd_))
        return; // nothing in view to paint again
    const int top = int(SendMessageW(hwnd_, LVM_GETTOPINDEX, 0, 0));
    const int rows = int(SendMessageW(hwnd_, LVM_GETCOUNTPERPAGE, 0, 0));
    if (index > top + rows)
        return; // below the rows in view: only the scroll bar changes
    RECT from{LVIR_BOUNDS, 0, 0, 0};
    if (index < top || !SendMessageW(hwnd_, LVM_GETITEMRECT, WPARAM(index), LPARAM(&from)))
        from.top = 0;
    RECT rest;
    GetClientRect(hwnd_, &rest);
    rest.top = from.top;
    InvalidateRect(hwnd_, &rest, TRUE);
}

void TListView::Refresh() { InvalidateRect(hwnd_, nullptr, TRUE); }

void TListView::SetChecked(int index, bool checked) { ListViewSetChecked(hwnd_, index, checked); }

bool TListView::Checked(int index) const { return ListViewChecked(hwnd_, index); }

std::wstring TListView::ItemText(int index, int column) const {
    std::wstring text(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = int(text.size());
    text.resize(size_t(SendMessageW(hwnd_, LVM_GETITEMTEXTW, WPARAM(index), LPARAM(&item))));
    return text;
}

bool TListView::Selected(int index) const {
    return SendMessageW(hwnd_, LVM_GETITEMSTATE, WPARAM(index), LVIS_SELECTED) & LVIS_SELECTED;
}

int TListView::SelectedIndex() const {
    // Searching the items for the selected one asks the owner for every item
    // on the way; the selection's last change is known without that.
    if (SendMessageW(hwnd_, LVM_GETSELECTEDCOUNT, 0, 0) == 0)
        return -1;
    if (selected_ >= 0 && Selected(selected_))
        return selected_;
    return ListViewSelected(hwnd_);
}

void TListView::SetSelected(int index, bool selected) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
}

void TListView::ShowItem(NMLVDISPINFOW& request) const {
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

void TListView::ItemChanged(const NMLISTVIEW& change) {
    if (!(change.uChanged & LVIF_STATE))
        return;
    const UINT image = StateImage(change.uNewState);
    if (OnCheck && image != StateImage(change.uOldState) && image != 0) {
        ++ticksTold_;
        OnCheck(change.iItem, image == 2);
    }
    const bool selectionChanged = (change.uOldState ^ change.uNewState) & LVIS_SELECTED;
    if (!selectionChanged || change.iItem < 0)
        return;
    if (change.uNewState & LVIS_SELECTED)
        selected_ = change.iItem;
    if (OnSelectItem)
        OnSelectItem(change.iItem, change.uNewState & LVIS_SELECTED);
}

LRESULT CALLBACK TListView::TickProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR self) {
    if (message == WM_LBUTTONDOWN || message == WM_KEYDOWN || message == LVM_SETITEMSTATE)
        return reinterpret_cast<TListView*>(self)->TickMessage(message, wParam, lParam);
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

LRESULT TListView::TickMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const unsigned toldBefore = ticksTold_;
    int index = -1;
    if (message == WM_LBUTTONDOWN) {
        LVHITTESTINFO hit{};
        hit.pt = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        SendMessageW(hwnd_, LVM_HITTEST, 0, LPARAM(&hit));
        if (hit.flags & LVHT_ONITEMSTATEICON)
            index = hit.iItem;
    } else if (message == WM_KEYDOWN && wParam == VK_SPACE) {
        index = int(SendMessageW(hwnd_, LVM_GETNEXTITEM, WPARAM(-1), LVNI_FOCUSED));
    }
    const LRESULT result = DefSubclassProc(hwnd_, message, wParam, lParam);
    if (message == LVM_SETITEMSTATE) {
        const LVITEMW& item = *reinterpret_cast<const LVITEMW*>(lParam);
        const UINT image = StateImage(item.state);
        if ((item.stateMask & LVIS_STATEIMAGEMASK) && image != 0)
            TickUnlessTold(int(wParam), image == 2, toldBefore);
    } else if (index >= 0) {
        TickUnlessTold(index, !ItemChecked(index), toldBefore);
    }
    return result;
}

void TListView::TickUnlessTold(int index, bool checked, unsigned toldBefore) {
    if (ticksTold_ != toldBefore || !OnCheck)
        return;
    OnCheck(index, checked);
    if (index < 0) {
        Refresh();
        return;
    }
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    if (SendMessageW(hwnd_, LVM_GETITEMRECT, WPARAM(index), LPARAM(&row)))
        InvalidateRect(hwnd_, &row, TRUE);
}

LRESULT TListView::Notify(NMHDR& header) {
    if (header.code == LVN_GETDISPINFOW)
        ShowItem(reinterpret_cast<NMLVDISPINFOW&>(header));
    else if (header.code == LVN_ITEMCHANGED)
        ItemChanged(reinterpret_cast<NMLISTVIEW&>(header));
    return 0;
}

} // namespace dv::ui
