#include "ui/ListViewItems.h"

namespace dv::ui {

std::string ListViewText(HWND list, int index, int subItem) {
    std::string text(64, '\0');
    for (;;) {
        LVITEMA item{};
        item.iSubItem = subItem;
        item.pszText = text.data();
        item.cchTextMax = int(text.size());
        int length = int(SendMessageA(list, LVM_GETITEMTEXTA, WPARAM(index), LPARAM(&item)));
        if (length < int(text.size()) - 1) {
            text.resize(size_t(length));
            return text;
        }
        text.resize(text.size() * 4);
    }
}

bool ListViewChecked(HWND list, int index) {
    UINT state = UINT(SendMessageA(list, LVM_GETITEMSTATE, WPARAM(index), LVIS_STATEIMAGEMASK));
    return StateImage(state) == 2;
}

void ListViewSetChecked(HWND list, int index, bool checked) {
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? 2 : 1);
    SendMessageA(list, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
}

int ListViewSelected(HWND list) {
    return int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

HIMAGELIST CheckImages(int size) {
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32, 2, 0);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    for (UINT state : {UINT(DFCS_BUTTONCHECK), UINT(DFCS_BUTTONCHECK | DFCS_CHECKED)}) {
        HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
        HGDIOBJ old = SelectObject(dc, bitmap);
        RECT box{0, 0, size, size};
        FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
        DrawFrameControl(dc, &box, DFC_BUTTON, state | DFCS_FLAT);
        SelectObject(dc, old);
        ImageList_Add(images, bitmap, nullptr);
        DeleteObject(bitmap);
    }
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return images;
}

void SetCheckImages(HWND list, int size) {
    auto old = reinterpret_cast<HIMAGELIST>(
        SendMessageA(list, LVM_SETIMAGELIST, LVSIL_STATE, LPARAM(CheckImages(size))));
    if (old)
        ImageList_Destroy(old);
}

void SetupListView(HWND list, DWORD exStyle) {
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, exStyle, exStyle);
}

} // namespace dv::ui
