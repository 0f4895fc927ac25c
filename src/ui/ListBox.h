#pragma once
// A list box of texts.
#include "ui/Control.h"

#include <vector>

namespace dv::ui {

class TListBox : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds, bool sorted, bool visible = true);
    int Count() const;
    std::string Item(int index) const;
    std::vector<std::string> Items() const;
    // The texts as the list holds them, in UTF-16.
    std::wstring WideItem(int index) const;
    std::vector<std::wstring> WideItems() const;
    int Add(const std::string& text);
    int Add(const std::wstring& text);
    void Delete(int index);
    void Clear();
    int ItemIndex() const;
    void SetItemIndex(int index);
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    void Command(WORD code) override;
    // The list stays scrolled where it was.
    void ScaleTo(int dpi) override;
};

} // namespace dv::ui
