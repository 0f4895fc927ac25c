#include "ui/PopupMenu.h"

#include "app/Application.h"
#include "app/Modal.h"

namespace dv::ui {

TPopupMenu::~TPopupMenu() {
    if (menu_)
        DestroyMenu(menu_);
}

TMenuItem& TPopupMenu::Add(const std::string& caption, int imageIndex, TNotifyEvent onClick,
                           bool isDefault) {
    auto item = std::make_unique<TMenuItem>();
    item->Caption = caption;
    item->ImageIndex = imageIndex;
    item->OnClick = std::move(onClick);
    item->Default = isDefault;
    items_.push_back(std::move(item));
    return *items_.back();
}

void TPopupMenu::Build(TImageList* images) {
    menu_ = CreatePopupMenu();
    images_ = images;
    for (size_t i = 0; i < items_.size(); ++i) {
        const TMenuItem& item = *items_[i];
        UINT id = UINT(i + 1);
        AppendMenuA(menu_, MF_STRING, id, item.Caption.c_str());
        if (item.Default)
            SetMenuDefaultItem(menu_, id, FALSE);
    }
    RefreshImages();
}

void TPopupMenu::RefreshImages() {
    for (size_t i = 0; images_ && i < items_.size(); ++i) {
        if (items_[i]->ImageIndex < 0)
            continue;
        MENUITEMINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_BITMAP;
        info.hbmpItem = images_->Bitmap(items_[i]->ImageIndex);
        SetMenuItemInfoA(menu_, UINT(i + 1), FALSE, &info);
    }
}

void TPopupMenu::Popup(HWND owner, int x, int y) {
    const UINT chosen = Modal().TrackPopupMenu(menu_, x, y, owner);
    if (chosen >= 1 && chosen <= items_.size() && items_[chosen - 1]->OnClick)
        Guarded([&] { items_[chosen - 1]->OnClick(); });
}

} // namespace dv::ui
