#pragma once
// A report-style list view with item check boxes that shows a list the program
// keeps itself: the texts are asked of the owner when painted, and the program
// never reads an item back. The ticks are the control's own check boxes, so
// the mouse, the space bar and other programs tick them; every change is told
// to the owner.
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
    // Inserts an item at a position; its texts come from OnItemText.
    void Insert(int index, bool checked = false);
    void Delete(int index);
    void Clear();
    // Makes room for this many items before a long run of inserts.
    void Reserve(int count);
    void SetChecked(int index, bool checked);
    // Index -1 ticks or unticks every item.
    void SetAllChecked(bool checked);
    bool Selected(int index) const;
    // The selected item, or -1.
    int SelectedIndex() const;
    void SetSelected(int index, bool selected);
    // Suspends painting while many items change.
    void BeginUpdate();
    void EndUpdate();

    // What the control shows, read back only by tests and tools.
    std::wstring ItemText(int index, int column) const;
    bool Checked(int index) const;

    // The text of a column of the item at a position.
    std::function<std::wstring(int index, int column)> OnItemText;
    // A tick set or cleared, by whatever means; index -1 for every item.
    std::function<void(int index, bool checked)> OnCheck;
    std::function<void(int index, bool selected)> OnSelectItem;
    LRESULT Notify(NMHDR& header) override;

    // Column widths and check pictures follow the DPI.
    void ScaleTo(int dpi) override;

  private:
    void ShowItemText(NMLVDISPINFOW& request) const;
    void ItemChanged(const NMLISTVIEW& change) const;
    int columns_ = 0;
    std::vector<int> columnWidths_;
};

} // namespace dv::ui
