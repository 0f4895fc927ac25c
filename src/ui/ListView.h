#pragma once
// A report-style list view with item check boxes that shows a list the program
// keeps itself (an owner-data list view): the control holds no items, only
// their number and the selection; texts and ticks are asked of the owner when
// painted or read. The mouse, the space bar and other programs still tick the
// check boxes: every change is told to the owner.
#include "ui/Control.h"

#include <commctrl.h>

#include <vector>

namespace dv::ui {

class TListView : public TControl {
  public:
    struct Column {
        std::string Caption;
        int Width;
        bool RightAligned;
    };
    void Create(TControl* parent, TBounds bounds, const std::vector<Column>& columns);
    int Count() const;
    // Shows this many items, keeping the scroll position.
    void SetCount(int count);
    // An item was put in at a position of the owner's list: the rows in view
    // from there down are painted again. The count follows with SetCount.
    void Inserted(int index);
    // Paints the items again from the owner's list.
    void Refresh();
    // Ticks an item as a click or another program does; the owner hears of it.
    void SetChecked(int index, bool checked);
    bool Selected(int index) const;
    // The selected item, or -1.
    int SelectedIndex() const;
    void SetSelected(int index, bool selected);
    // What the control shows, read back only by tests and tools.
    std::wstring ItemText(int index, int column) const;
    bool Checked(int index) const;

    // The text of a column of the item at a position, and its tick.
    std::function<std::wstring(int index, int column)> OnItemText;
    std::function<bool(int index)> OnItemChecked;
    // A tick set or cleared, by whatever means; index -1 for every item.
    std::function<void(int index, bool checked)> OnCheck;
    std::function<void(int index, bool selected)> OnSelectItem;
    LRESULT Notify(NMHDR& header) override;

    // Column widths and check pictures follow the DPI.
    void ScaleTo(int dpi) override;

  private:
    void ShowItem(NMLVDISPINFOW& request) const;
    void ItemChanged(const NMLISTVIEW& change);
    // The control keeps no ticks of its own: a click on a check box, the space
    // bar and LVM_SETITEMSTATE from anywhere are turned into ticks of the owner.
    static LRESULT CALLBACK TickProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                     UINT_PTR, DWORD_PTR self);
    LRESULT TickMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Ticks the item unless the control told of a tick while handling the message.
    void TickUnlessTold(int index, bool checked, unsigned toldBefore);
    bool ItemChecked(int index) const { return OnItemChecked && OnItemChecked(index); }
    unsigned ticksTold_ = 0;
    int selected_ = -1; // the item selected last
    std::vector<int> columnWidths_;
};

} // namespace dv::ui
