#include "ui/ImageList.h"

namespace dv::ui {

TImageList::~TImageList() {
    for (HBITMAP bitmap : bitmaps_)
        if (bitmap)
            DeleteObject(bitmap);
    if (handle_)
        ImageList_Destroy(handle_);
}

void TImageList::LoadStrip(HINSTANCE instance, int resourceId, int count) {
    handle_ = ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, count, 0);
    HBITMAP strip = static_cast<HBITMAP>(LoadImageA(instance, MAKEINTRESOURCEA(resourceId),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (strip) {
        ImageList_AddMasked(handle_, strip, RGB(255, 0, 255));
        DeleteObject(strip);
    }
    bitmaps_.assign(size_t(count), nullptr);
}

HBITMAP TImageList::Bitmap(int index) {
    if (index < 0 || size_t(index) >= bitmaps_.size())
        return nullptr;
    HBITMAP& bitmap = bitmaps_[size_t(index)];
    if (!bitmap) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        bitmap = CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT all{0, 0, 16, 16};
        FillRect(dc, &all, GetSysColorBrush(COLOR_MENU));
        ImageList_Draw(handle_, index, dc, 0, 0, ILD_TRANSPARENT);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
    }
    return bitmap;
}

} // namespace dv::ui
