#include "ui/ListView.h"

#include "ui/ListViewItems.h"

namespace dv::ui {

namespace {

// The check box pictures, in pixels at 96 DPI.
const int kCheckSize = 13;

} // namespace

void TListView::Create(TControl* parent, TBounds bounds, const std::vector<Column>& columns,
                       DWORD style) {
    CreateHandle(parent, WC_LISTVIEWW, "",
                 LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP | WS_VISIBLE | style,
                 WS_EX_CLIENTEDGE, bounds);
    controlProc_ = reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd_, GCLP_WNDPROC));
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

int TListView::Count() const { return int(Ask(LVM_GETITEMCOUNT)); }

void TListView::SetCount(int count) {
    SendMessageW(hwnd_, LVM_SETITEMCOUNT, WPARAM(count), LVSICF_NOSCROLL);
}

void TListView::Refresh() { InvalidateRect(hwnd_, nullptr, TRUE); }

bool TListView::Checked(int index) const { return ListViewChecked(hwnd_, index); }

void TListView::SetChecked(int index, bool checked) { ListViewSetChecked(hwnd_, index, checked); }

bool TListView::Selected(int index) const {
    return Ask(LVM_GETITEMSTATE, WPARAM(index), LVIS_SELECTED) & LVIS_SELECTED;
}

void TListView::SetSelected(int index, bool selected) {
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    SendMessageW(hwnd_, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
}

int TListView::SelectedCount() const { return int(Ask(LVM_GETSELECTEDCOUNT)); }

int TListView::NextItem(int after, UINT state) const {
    return int(Ask(LVM_GETNEXTITEM, WPARAM(after), LPARAM(state)));
}

int TListView::CheckBoxAt(POINT point) const {
    LVHITTESTINFO hit{};
    hit.pt = point;
    SendMessageW(hwnd_, LVM_HITTEST, 0, LPARAM(&hit));
    return (hit.flags & LVHT_ONITEMSTATEICON) ? hit.iItem : -1;
}

int TListView::TopIndex() const { return int(Ask(LVM_GETTOPINDEX)); }

int TListView::RowsPerPage() const { return int(Ask(LVM_GETCOUNTPERPAGE)); }

bool TListView::RowRect(int index, RECT& row) const {
    row = {LVIR_BOUNDS, 0, 0, 0};
    return Ask(LVM_GETITEMRECT, WPARAM(index), LPARAM(&row));
}

std::wstring TListView::ItemText(int index, int column) const {
    std::wstring text(1024, L'\0');
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text.data();
    item.cchTextMax = int(text.size());
    text.resize(size_t(SendMessageW(hwnd_, LVM_GETITEMTEXTW, WPARAM(index), LPARAM(&item))));
    return text;
}

} // namespace dv::ui
