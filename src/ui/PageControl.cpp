#include "ui/PageControl.h"

namespace dv::ui {

void TPageControl::Create(TControl* parent, TBounds bounds, TImageList* images) {
    CreateHandle(parent, WC_TABCONTROLW, "",
                 TCS_BUTTONS | TCS_FLATBUTTONS | TCS_HOTTRACK | WS_CLIPCHILDREN | WS_TABSTOP |
                     WS_VISIBLE,
                 WS_EX_CONTROLPARENT, bounds);
    images_ = images;
    if (images_)
        SendMessageA(hwnd_, TCM_SETIMAGELIST, 0, LPARAM(images_->Handle()));
}

void TPageControl::ScaleTo(int dpi) {
    TControl::ScaleTo(dpi);
    if (images_)
        SendMessageA(hwnd_, TCM_SETIMAGELIST, 0, LPARAM(images_->Handle()));
}

TContainer& TPageControl::AddPage(const std::string& caption, int imageIndex, int helpContext) {
    TCITEMA item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = const_cast<char*>(caption.c_str());
    item.iImage = imageIndex;
    SendMessageA(hwnd_, TCM_INSERTITEMA, WPARAM(pages_.size()), LPARAM(&item));
    // Every page has the same client area below the tabs.
    auto page = std::make_unique<TContainer>();
    page->Create(this, {4, 28, 427, 223});
    page->HelpContext = helpContext;
    page->SetVisible(pages_.empty());
    pages_.push_back(std::move(page));
    return *pages_.back();
}

int TPageControl::ActivePageIndex() const { return int(SendMessageA(hwnd_, TCM_GETCURSEL, 0, 0)); }

void TPageControl::SetActivePage(int index) {
    SendMessageA(hwnd_, TCM_SETCURSEL, WPARAM(index), 0);
    ShowPage(index);
}

void TPageControl::ShowPage(int index) {
    for (size_t i = 0; i < pages_.size(); ++i)
        if (int(i) != index)
            pages_[i]->SetVisible(false);
    TContainer& page = *pages_.at(size_t(index));
    bool wasVisible = page.Visible();
    page.SetVisible(true);
    if (!wasVisible && page.OnShow)
        page.OnShow();
}

LRESULT TPageControl::Notify(NMHDR& header) {
    if (header.code == TCN_SELCHANGE)
        ShowPage(ActivePageIndex());
    return 0;
}

} // namespace dv::ui
