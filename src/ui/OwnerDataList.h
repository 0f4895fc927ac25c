#pragma once
// A check list whose items the owner keeps (an owner-data list view): the
// control holds only their number and the selection, and asks the owner for
// texts, ticks and the item that typed letters lead to. The mouse, the space
// bar and other programs still tick the check boxes, and every tick reaches the
// owner once (OwnerDataTicks.cpp). When the owner puts items in or takes them
// out, the selection stays with its item.
#include "ui/ListView.h"

#include <functional>
#include <string>
#include <vector>

namespace dv::ui {

class TOwnerDataList : public TListView {
  public:
    void Create(TControl* parent, TBounds bounds, const std::vector<Column>& columns);
    // The owner put an item in at a position and now holds count items. Only
    // rows in view that show another item now are painted again: from the
    // item's row down, or every row for an item put in above them, none for
    // one below them. The count follows with Grown unless the selection has to
    // move down at once.
    void Inserted(int index, int count);
    // The owner, having put items in, now holds count items: only rows in
    // view that had no item before are painted.
    void Grown(int count);
    // The owner took out the items at these positions (ascending) and now holds
    // count items; a selected item that stays keeps its selection.
    void Removed(const std::vector<int>& positions, int count);
    // The owner holds no items any more.
    void Clear();
    // The selected item, or -1.
    int SelectedIndex() const;

    // The text of a column of the item at a position, and its tick.
    std::function<std::wstring(int index, int column)> OnItemText;
    std::function<bool(int index)> OnItemChecked;
    // The first item from start on (wrapping to the first item if asked) whose
    // text starts with text (prefix) or is text; -1 when there is none.
    std::function<int(const std::wstring& text, int start, bool prefix, bool wrap)> OnFindItem;
    // A tick set or cleared, by whatever means; index -1 for every item.
    std::function<void(int index, bool checked)> OnCheck;
    // The user's choice of item, never a move the list makes itself.
    std::function<void(int index, bool selected)> OnSelectItem;
    LRESULT Notify(NMHDR& header) override;

  private:
    void ShowItem(NMLVDISPINFOW& request) const;
    LRESULT FindItem(const NMLVFINDITEMW& request) const;
    void ItemChanged(const NMLISTVIEW& change);
    void RepaintFrom(int index);
    // The rows in view from this item's row down.
    void RepaintRowsFrom(int index);
    bool ItemChecked(int index) const { return OnItemChecked && OnItemChecked(index); }

    // The tick policy, in OwnerDataTicks.cpp.
    void ForwardTicks();
    static LRESULT CALLBACK TickProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT TickMessage(UINT message, WPARAM wParam, LPARAM lParam);
    int ToggledItem(UINT message, WPARAM wParam, LPARAM lParam) const;
    void Tick(int index, bool checked);

    // The rows in view, as last asked: the first item they show and the one
    // past the last (a partly shown row counts); viewEnd_ -1 when not known.
    int viewTop_ = 0, viewEnd_ = -1;
    unsigned ticksTold_ = 0; // ticks the control told of itself
    int selected_ = -1;      // the selected item as the control last told, or -1
    bool movingSelection_ = false;
};

} // namespace dv::ui
