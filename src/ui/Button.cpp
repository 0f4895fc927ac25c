#include "ui/Button.h"

#include "ui/ChildMessages.h"
#include "ui/HeldInput.h"

#include <commctrl.h>

namespace dv::ui {

namespace {

LRESULT CALLBACK GroupBoxProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                              DWORD_PTR) {
    // In front of the guard every control gets: it routes its buttons' commands.
    const THeldInput::Visit visit(hwnd, message, wParam, lParam);
    if (visit.Held())
        return 0;
    LRESULT result = 0;
    if (message != WM_SETCURSOR && RouteChildMessage(hwnd, message, wParam, lParam, result))
        return result;
    return DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace

void TGroupBox::Create(TControl* parent, const std::string& caption, TBounds bounds) {
    CreateHandle(parent, L"Button", caption, BS_GROUPBOX | WS_VISIBLE, WS_EX_CONTROLPARENT, bounds);
    SetWindowSubclass(hwnd_, GroupBoxProc, 1, 0);
}

void TButton::Create(TControl* parent, const std::string& caption, TBounds bounds, bool isDefault) {
    Default = isDefault;
    CreateHandle(parent, L"Button", caption,
                 (isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP | WS_VISIBLE, 0,
                 bounds);
}

void TButton::SetImage(TImageList* images, int index) {
    images_ = images;
    imageIndex_ = index;
    ShowImage();
}

void TButton::ShowImage() {
    HICON icon = ImageList_GetIcon(images_->Handle(), imageIndex_, ILD_TRANSPARENT);
    auto old = reinterpret_cast<HICON>(
        SendMessageA(hwnd_, BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon)));
    if (old)
        DestroyIcon(old);
}

void TButton::ScaleTo(int dpi) {
    TControl::ScaleTo(dpi);
    if (images_)
        ShowImage();
}

void TButton::Click() {
    if (OnClick)
        OnClick();
}

void TButton::Command(WORD code) {
    if (code == BN_CLICKED)
        Click();
}

void TCheckBox::Create(TControl* parent, const std::string& caption, TBounds bounds) {
    CreateHandle(parent, L"Button", caption, BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 0, bounds);
}

bool TCheckBox::Checked() const { return SendMessageA(hwnd_, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void TCheckBox::SetChecked(bool checked) {
    if (Checked() == checked)
        return;
    SendMessageA(hwnd_, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
    if (OnClick)
        OnClick();
}

void TCheckBox::Command(WORD code) {
    if (code == BN_CLICKED && OnClick)
        OnClick();
}

} // namespace dv::ui
