#pragma once
// Context menus with pictures and a bold default item.
#include "ui/Control.h"
#include "ui/ImageList.h"

#include <memory>
#include <vector>

namespace dv::ui {

class TMenuItem {
  public:
    std::string Caption;
    int ImageIndex = -1;
    bool Default = false;
    TNotifyEvent OnClick;
};

class TPopupMenu {
  public:
    TPopupMenu() = default;
    TPopupMenu(const TPopupMenu&) = delete;
    TPopupMenu& operator=(const TPopupMenu&) = delete;
    ~TPopupMenu();
    TMenuItem& Add(const std::string& caption, int imageIndex, TNotifyEvent onClick,
                   bool isDefault = false);
    void Build(TImageList* images);
    // Takes the pictures again, after the image list changed size.
    void RefreshImages();
    HMENU Handle() const { return menu_; }
    int Count() const { return int(items_.size()); }
    TMenuItem& Item(int index) { return *items_[size_t(index)]; }
    // Shows the menu at a screen point and runs the chosen item.
    void Popup(HWND owner, int x, int y);

  private:
    std::vector<std::unique_ptr<TMenuItem>> items_;
    HMENU menu_ = nullptr;
    TImageList* images_ = nullptr;
};

} // namespace dv::ui
