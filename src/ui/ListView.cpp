#include "ui/ListView.h"

#include "ui/ListViewItems.h"

namespace dv::ui {

void TListView::Create(TControl* parent, TBounds bounds, const std::vector<Column>& columns) {
    CreateHandle(parent, WC_LISTVIEWA, "",
                 LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_VISIBLE,
                 WS_EX_CLIENTEDGE, bounds);
    SetupListView(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_FLATSB | LVS_EX_TRACKSELECT);
    for (size_t i = 0; i < columns.size(); ++i) {
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = columns[i].RightAligned ? LVCFMT_RIGHT : LVCFMT_LEFT;
        column.cx = columns[i].Width;
        column.pszText = const_cast<char*>(columns[i].Caption.c_str());
        column.iSubItem = int(i);
        SendMessageA(hwnd_, LVM_INSERTCOLUMNA, WPARAM(i), LPARAM(&column));
    }
}

int TListView::Count() const { return int(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }

std::string TListView::Caption(int index) const { return ListViewText(hwnd_, index, 0); }

std::string TListView::SubItem(int index, int subItem) const {
    return ListViewText(hwnd_, index, subItem);
}

int TListView::Insert(int index, const std::string& caption,
                      const std::vector<std::string>& subItems) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = index;
    item.pszText = const_cast<char*>(caption.c_str());
    int at = int(SendMessageA(hwnd_, LVM_INSERTITEMA, 0, LPARAM(&item)));
    for (size_t i = 0; i < subItems.size(); ++i) {
        LVITEMA sub{};
        sub.iSubItem = int(i) + 1;
        sub.pszText = const_cast<char*>(subItems[i].c_str());
        SendMessageA(hwnd_, LVM_SETITEMTEXTA, WPARAM(at), LPARAM(&sub));
    }
    ListViewSetChecked(hwnd_, at, false);
    return at;
}

void TListView::Delete(int index) { SendMessageA(hwnd_, LVM_DELETEITEM, WPARAM(index), 0); }

void TListView::Clear() { SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0); }

bool TListView::Checked(int index) const { return ListViewChecked(hwnd_, index); }

void TListView::SetChecked(int index, bool checked) { ListViewSetChecked(hwnd_, index, checked); }

bool TListView::Selected(int index) const {
    return SendMessageA(hwnd_, LVM_GETITEMSTATE, WPARAM(index), LVIS_SELECTED) & LVIS_SELECTED;
}

void TListView::SetSelected(int index, bool selected) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
}

void TListView::BeginUpdate() { SendMessageA(hwnd_, WM_SETREDRAW, FALSE, 0); }

void TListView::EndUpdate() {
    SendMessageA(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

LRESULT TListView::Notify(NMHDR& header) {
    if (header.code != LVN_ITEMCHANGED || !OnSelectItem)
        return 0;
    NMLISTVIEW& change = reinterpret_cast<NMLISTVIEW&>(header);
    bool selectionChanged =
        (change.uChanged & LVIF_STATE) && ((change.uOldState ^ change.uNewState) & LVIS_SELECTED);
    if (selectionChanged && change.iItem >= 0)
        OnSelectItem(change.iItem, change.uNewState & LVIS_SELECTED);
    return 0;
}

} // namespace dv::ui
