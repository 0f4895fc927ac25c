#include "ui/CheckListBox.h"

#include "ui/ListViewItems.h"

namespace dv::ui {

void TCheckListBox::Create(TControl* parent, TBounds bounds, int itemHeight) {
    CreateHandle(parent, WC_LISTVIEWW, "",
                 LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP |
                     WS_VISIBLE,
                 WS_EX_CLIENTEDGE, bounds);
    SetupListView(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    itemHeight_ = itemHeight;
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    SendMessageA(hwnd_, LVM_INSERTCOLUMNA, 0, LPARAM(&column));
    ScaleItems();
}

void TCheckListBox::ScaleTo(int dpi) {
    TControl::ScaleTo(dpi);
    ScaleItems();
}

// The check pictures set the item height; the one column fills the list
// beside its scroll bar.
void TCheckListBox::ScaleItems() {
    SetCheckImages(hwnd_, Scaled(itemHeight_));
    const int width = Scaled(design_.Width) - MetricForDpi(SM_CXVSCROLL, dpi_) - Scaled(4);
    SendMessageA(hwnd_, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width, 0));
}

int TCheckListBox::Count() const { return int(SendMessageA(hwnd_, LVM_GETITEMCOUNT, 0, 0)); }

std::string TCheckListBox::Item(int index) const { return ListViewText(hwnd_, index, 0); }

std::vector<std::string> TCheckListBox::Items() const { return AllItems(*this); }

void TCheckListBox::Add(const std::string& text) {
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.iItem = Count();
    item.pszText = const_cast<char*>(text.c_str());
    int index = int(SendMessageA(hwnd_, LVM_INSERTITEMA, 0, LPARAM(&item)));
    ListViewSetChecked(hwnd_, index, false);
}

void TCheckListBox::Delete(int index) { SendMessageA(hwnd_, LVM_DELETEITEM, WPARAM(index), 0); }

void TCheckListBox::Clear() { SendMessageA(hwnd_, LVM_DELETEALLITEMS, 0, 0); }

bool TCheckListBox::Checked(int index) const { return ListViewChecked(hwnd_, index); }

void TCheckListBox::SetChecked(int index, bool checked) {
    ListViewSetChecked(hwnd_, index, checked);
}

int TCheckListBox::ItemIndex() const { return ListViewSelected(hwnd_); }

void TCheckListBox::SetItemIndex(int index) {
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(hwnd_, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
}

LRESULT TCheckListBox::Notify(NMHDR& header) {
    if (header.code == NM_CLICK && OnClick)
        OnClick();
    return 0;
}

} // namespace dv::ui
