#include "ListInput.h"

#include <commctrl.h>

namespace dvtest {

namespace {

LPARAM CheckBoxPoint(HWND list, int index) {
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, WPARAM(index), LPARAM(&row));
    return MAKELPARAM(row.left + 8, (row.top + row.bottom) / 2);
}

} // namespace

void TypeLetter(HWND list, wchar_t letter) { SendMessageW(list, WM_CHAR, letter, 1); }

void PressSpace(HWND list) {
    SendMessageW(list, WM_KEYDOWN, VK_SPACE, 1);
    SendMessageW(list, WM_CHAR, L' ', 1);
    SendMessageW(list, WM_KEYUP, VK_SPACE, 1);
}

void ClickCheckBox(HWND list, int index) {
    const LPARAM at = CheckBoxPoint(list, index);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
}

void DoubleClickCheckBox(HWND list, int index) {
    const LPARAM at = CheckBoxPoint(list, index);
    ClickCheckBox(list, index);
    SendMessageW(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, 0, at);
}

} // namespace dvtest
