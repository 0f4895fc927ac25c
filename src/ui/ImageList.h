#pragma once
// A strip of small pictures for tabs, buttons and menus, drawn at several sizes
// so that every display scale gets pictures of its own size.
#include <windows.h>

#include <commctrl.h>

#include <vector>

namespace dv::ui {

class TImageList {
  public:
    // A strip bitmap resource of square pictures of one size.
    struct Strip {
        int Size;
        int ResourceId;
    };
    TImageList() = default;
    TImageList(const TImageList&) = delete;
    TImageList& operator=(const TImageList&) = delete;
    ~TImageList();
    // Takes strips of the same count pictures (16 x 16 at 96 DPI), each drawn at
    // its own size, and loads the one for the DPI; magenta is transparent.
    void LoadStrips(HINSTANCE instance, const std::vector<Strip>& strips, int count, int dpi);
    // Loads the pictures a DPI needs: the largest drawn size that the 16 pixels
    // scaled allow, so no picture is ever stretched. The handle changes.
    void ScaleTo(int dpi);
    HIMAGELIST Handle() const { return handle_; }
    int ImageSize() const { return size_; }
    // A picture as a 32-bit bitmap with alpha, for menu items.
    HBITMAP Bitmap(int index);

  private:
    void Release();
    HINSTANCE instance_ = nullptr;
    std::vector<Strip> strips_;
    int count_ = 0;
    int size_ = 16;
    HIMAGELIST handle_ = nullptr;
    std::vector<HBITMAP> bitmaps_;
};

} // namespace dv::ui
