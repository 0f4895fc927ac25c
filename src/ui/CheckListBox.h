#pragma once
// A check list: a one-column list view with item check boxes and no header.
#include "ui/Control.h"

#include <vector>

namespace dv::ui {

class TCheckListBox : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds, int itemHeight);
    int Count() const;
    std::string Item(int index) const;
    std::vector<std::string> Items() const;
    void Add(const std::string& text);
    void Delete(int index);
    void Clear();
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);
    int ItemIndex() const;
    void SetItemIndex(int index);
    TNotifyEvent OnClick;
    LRESULT Notify(NMHDR& header) override;
    // Check pictures, item height and the column follow the DPI.
    void ScaleTo(int dpi) override;

  private:
    void ScaleItems();
    int itemHeight_ = 0;
};

} // namespace dv::ui
