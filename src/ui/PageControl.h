#pragma once
// A tab control whose pages are containers.
#include "ui/Container.h"
#include "ui/ImageList.h"

#include <memory>
#include <vector>

namespace dv::ui {

class TPageControl : public TControl {
  public:
    void Create(TControl* parent, TBounds bounds, TImageList* images);
    TContainer& AddPage(const std::string& caption, int imageIndex, int helpContext);
    int PageCount() const { return int(pages_.size()); }
    TContainer& Page(int index) { return *pages_[size_t(index)]; }
    int ActivePageIndex() const;
    // Brings a page to the front and runs its show event.
    void SetActivePage(int index);
    LRESULT Notify(NMHDR& header) override;
    // Tabs show the pictures the image list holds for the DPI.
    void ScaleTo(int dpi) override;

  private:
    TImageList* images_ = nullptr;
    void ShowPage(int index);
    std::vector<std::unique_ptr<TContainer>> pages_;
};

} // namespace dv::ui
