#pragma once
// A report-style list view with item check boxes: each method is a message or
// two. OwnerDataList.h builds the found-file list on it.
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
    // style adds to the report style: LVS_OWNERDATA for items the owner keeps.
    void Create(TControl* parent, TBounds bounds, const std::vector<Column>& columns,
                DWORD style = 0);
    int Count() const;
    // Shows this many items, keeping the scroll position.
    void SetCount(int count);
    // Paints every item again.
    void Refresh();
    bool Checked(int index) const;
    // Ticks an item (-1: every item) as a click or another program does.
    void SetChecked(int index, bool checked);
    bool Selected(int index) const;
    void SetSelected(int index, bool selected);
    int SelectedCount() const;
    // The first item after `after` (-1: from the first) in a state (LVNI_*), or -1.
    int NextItem(int after, UINT state) const;
    // The item whose check box is at a point of the client area, or -1.
    int CheckBoxAt(POINT point) const;
    int TopIndex() const;
    int RowsPerPage() const;
    // An item's row in the client area; false when it has none.
    bool RowRect(int index, RECT& row) const;
    // What the control shows, read back only by tests and tools.
    std::wstring ItemText(int index, int column) const;
    // Column widths and check pictures follow the DPI.
    void ScaleTo(int dpi) override;

  protected:
    // A message straight to the control's own procedure, past the one that
    // watches its ticks.
    LRESULT Ask(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return CallWindowProcW(controlProc_, hwnd_, message, wParam, lParam);
    }

  private:
    std::vector<int> columnWidths_;
    WNDPROC controlProc_ = nullptr;
};

} // namespace dv::ui
