#pragma once
// A report-style list view with item check boxes.
#include "ui/Control.h"

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
    std::string Caption(int index) const;
    std::string SubItem(int index, int subItem) const;
    // Inserts an item with its sub-items at a position and returns that position.
    int Insert(int index, const std::string& caption, const std::vector<std::string>& subItems);
    void Delete(int index);
    void Clear();
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    // Suspends painting while many items change.
    void BeginUpdate();
    void EndUpdate();
    std::function<void(int index, bool selected)> OnSelectItem;
    LRESULT Notify(NMHDR& header) override;
};

} // namespace dv::ui
