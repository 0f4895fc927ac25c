#pragma once
// A strip of small pictures for tabs, buttons and menus.
#include <windows.h>

#include <commctrl.h>

#include <vector>

namespace dv::ui {

class TImageList {
  public:
    TImageList() = default;
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;
    ~TImageList();
    // Loads a strip bitmap resource of 16 x 16 pictures; magenta is transparent.
    void LoadStrip(HINSTANCE instance, int resourceId, int count);
    HIMAGELIST Handle() const { return handle_; }
    // A picture as a 32-bit bitmap with alpha, for menu items.
    HBITMAP Bitmap(int index);

  private:
    HIMAGELIST handle_ = nullptr;
    std::vector<HBITMAP> bitmaps_;
};

} // namespace dv::ui
