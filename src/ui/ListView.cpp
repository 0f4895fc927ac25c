#include "ui/ListView.h"

#include "app/Strings.h"
#include "ui/ListViewItems.h"

namespace dv::ui {

namespace {

UINT StateImage(UINT state) { return (state & LVIS_STATEIMAGEMASK) >> 12; }

// The check box pictures, in pixels at 96 DPI.
const int kCheckSize = 13;

} // namespace

void TListView::Create(TControl* parent, TBounds bounds, const std::vector<Column>& columns) {
    CreateHandle(parent, WC_LISTVIEWW, "",
                 LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_VISIBLE,
                 WS_EX_CLIENTEDGE, bounds);
    SetupListView(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_FLATSB | LVS_EX_TRACKSELECT);
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
    columns_ = int(columns.size());
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

void TListView::Insert(int index, bool checked) {
    LVITEMW item{};
    item.mask = LVIF_TEXT | LVIF_STATE;
    item.iItem = index;
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    const int at = int(SendMessageW(hwnd_, LVM_INSERTITEMW, 0, LPARAM(&item)));
    for (int column = 1; column < columns_; ++column) {
        LVITEMW sub{};
        sub.iSubItem = column;
        sub.pszText = LPSTR_TEXTCALLBACKW;
        SendMessageW(hwnd_, LVM_SETITEMTEXTW, WPARAM(at), LPARAM(&sub));
    }
}

void TListView::Delete(int index) { SendMessageW(hwnd_, LVM_DELETEITEM, WPARAM(index), 0); }

void TListView::Clear() { SendMessageW(hwnd_, LVM_DELETEALLITEMS, 0, 0); }

void TListView::Reserve(int count) {
    SendMessageW(hwnd_, LVM_SETITEMCOUNT, WPARAM(count), LVSICF_NOINVALIDATEALL);
}

void TListView::SetChecked(int index, bool checked) { ListViewSetChecked(hwnd_, index, checked); }

void TListView::SetAllChecked(bool checked) { ListViewSetChecked(hwnd_, -1, checked); }

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

int TListView::SelectedIndex() const { return ListViewSelected(hwnd_); }

void TListView::SetSelected(int index, bool selected) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
}

void TListView::BeginUpdate() { SendMessageW(hwnd_, WM_SETREDRAW, FALSE, 0); }

void TListView::EndUpdate() {
    SendMessageW(hwnd_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void TListView::ShowItemText(NMLVDISPINFOW& request) const {
    LVITEMW& item = request.item;
    if (!(item.mask & LVIF_TEXT) || !OnItemText || item.cchTextMax <= 0)
        return;
    const std::wstring text = OnItemText(item.iItem, item.iSubItem);
    lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
}

void TListView::ItemChanged(const NMLISTVIEW& change) const {
    if (!(change.uChanged & LVIF_STATE))
        return;
    const UINT image = StateImage(change.uNewState);
    if (OnCheck && image != StateImage(change.uOldState) && image != 0)
        OnCheck(change.iItem, image == 2);
    const bool selectionChanged = (change.uOldState ^ change.uNewState) & LVIS_SELECTED;
    if (OnSelectItem && selectionChanged && change.iItem >= 0)
        OnSelectItem(change.iItem, change.uNewState & LVIS_SELECTED);
}

LRESULT TListView::Notify(NMHDR& header) {
    if (header.code == LVN_GETDISPINFOW)
        ShowItemText(reinterpret_cast<NMLVDISPINFOW&>(header));
    else if (header.code == LVN_ITEMCHANGED)
        ItemChanged(reinterpret_cast<NMLISTVIEW&>(header));
    return 0;
}

} // namespace dv::ui
