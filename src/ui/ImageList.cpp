#include "ui/ImageList.h"

#include "ui/Dpi.h"

namespace dv::ui {

namespace {

// The largest strip no larger than wanted, else the smallest there is.
const TImageList::Strip* Fitting(const std::vector<TImageList::Strip>& strips, int wanted) {
    const TImageList::Strip* largestFitting = nullptr;
    const TImageList::Strip* smallest = nullptr;
    for (const TImageList::Strip& strip : strips) {
        if (strip.Size <= wanted && (!largestFitting || strip.Size > largestFitting->Size))
            largestFitting = &strip;
        if (!smallest || strip.Size < smallest->Size)
            smallest = &strip;
    }
    return largestFitting ? largestFitting : smallest;
}

} // namespace

TImageList::~TImageList() { Release(); }

void TImageList::Release() {
    for (HBITMAP bitmap : bitmaps_)
        if (bitmap)
            DeleteObject(bitmap);
    bitmaps_.clear();
    if (handle_)
        ImageList_Destroy(handle_);
    handle_ = nullptr;
}

void TImageList::LoadStrips(HINSTANCE instance, const std::vector<Strip>& strips, int count,
                            int dpi) {
    instance_ = instance;
    strips_ = strips;
    count_ = count;
    ScaleTo(dpi);
}

void TImageList::ScaleTo(int dpi) {
    const Strip* best = Fitting(strips_, Scale(16, dpi));
    if (!best)
        return;
    Release();
    size_ = best->Size;
    handle_ = ImageList_Create(size_, size_, ILC_COLOR24 | ILC_MASK, count_, 0);
    HBITMAP strip = static_cast<HBITMAP>(LoadImageA(instance_, MAKEINTRESOURCEA(best->ResourceId),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (strip) {
        ImageList_AddMasked(handle_, strip, RGB(255, 0, 255));
        DeleteObject(strip);
    }
    bitmaps_.assign(size_t(count_), nullptr);
}

HBITMAP TImageList::Bitmap(int index) {
    if (index < 0 || size_t(index) >= bitmaps_.size())
        return nullptr;
    HBITMAP& bitmap = bitmaps_[size_t(index)];
    if (!bitmap) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, size_, size_);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all{0, 0, size_, size_};
        FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
        ImageList_Draw(handle_, index, dc, 0, 0, ILD_TRANSPARENT);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    return bitmap;
}

} // namespace dv::ui
