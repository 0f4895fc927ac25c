// The "New type" dialog: a borderless box with a prompt, an edit box and "Ok".
#include "scan/Unit1.h"

#include "app/Application.h"
#include "app/Modal.h"

namespace dv {

TAddExt* AddExt = nullptr;

namespace {

const int kClientWidth = 144;
const int kClientHeight = 65;

// The panel's frame: a raised outer and a lowered inner bevel.
LRESULT CALLBACK PanelProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
    if (message != WM_PAINT)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    RECT frame;
    GetClientRect(hwnd, &frame);
    DrawEdge(dc, &frame, EDGE_BUMP, BF_RECT);
    EndPaint(hwnd, &paint);
    return 0;
}

} // namespace

TAddExt::TAddExt() {
    // No caption, no border, no caption buttons: the window is its client area.
    dpi_ = ui::SystemDpi();
    const int width = Scaled(kClientWidth);
    const int height = Scaled(kClientHeight);
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    CreateTopLevel({"TAddExt"}, "New type", WS_POPUP | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT,
                   {left, top, left + width, top + height});

    Panel1.Create(this, {0, 0, kClientWidth, kClientHeight});
    SetWindowSubclass(Panel1.Handle(), PanelProc, 1, 0);
    Panel1.SetVisible(true);
    Label1.Create(&Panel1, "Enter new file type (eg. *.PIF):", {2, 2, 140, 13});
    Edit1.Create(&Panel1, {2, 18, 140, 21});
    Button1.Create(&Panel1, "Ok", {2, 43, 140, 20}, true);
    Button1.OnClick = [this] { Button1Click(); };
    AddExt = this;
}

TAddExt::~TAddExt() {
    if (AddExt == this)
        AddExt = nullptr;
}

int TAddExt::ShowModal() {
    // Owned by the main window while it is up, so that it stays in front of it;
    // afterwards it belongs to nobody and outlives any window.
    HWND owner = Application.MainWindow;
    if (owner && ui::WindowDpi(owner) != dpi_)
        ScaleTo(ui::WindowDpi(owner));
    SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
    int result = Modal().ShowModal(hwnd_, owner);
    if (IsWindow(hwnd_)) {
        ShowWindow(hwnd_, SW_HIDE);
        SetWindowLongPtrA(hwnd_, GWLP_HWNDPARENT, 0);
    }
    return result == IDOK ? IDOK : IDCANCEL;
}

void TAddExt::ScaleTo(int dpi) {
    dpi_ = dpi;
    RECT r;
    GetWindowRect(hwnd_, &r);
    const int width = Scaled(kClientWidth);
    const int height = Scaled(kClientHeight);
    SetWindowPos(hwnd_, nullptr, (r.left + r.right - width) / 2, (r.top + r.bottom - height) / 2,
                 width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    ScaleChildren(dpi);
}

void TAddExt::Button1Click() { CloseModal(Edit1.Text().empty() ? IDCANCEL : IDOK); }

void TAddExt::CloseModal(int result) {
    SetPropA(hwnd_, kModalResultProp, reinterpret_cast<HANDLE>(INT_PTR(result)));
    ShowWindow(hwnd_, SW_HIDE);
}

LRESULT TAddExt::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case DM_GETDEFID: // Enter in the edit box presses "Ok"
        return MAKELRESULT(GetDlgCtrlID(Button1.Handle()), DC_HASDEFID);
    case WM_COMMAND: { // Enter, sent by the dialog manager without a control
        const int id = LOWORD(wParam);
        if (lParam == 0 && (id == IDOK || id == GetDlgCtrlID(Button1.Handle())))
            Guarded([this] { Button1Click(); });
        return 0;
    }
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            Edit1.SetFocus();
            SendMessageA(Edit1.Handle(), EM_SETSEL, 0, -1);
        }
        return 0;
    case WM_CLOSE: // closing by the system counts as abandoning the dialog
        CloseModal(IDCANCEL);
        return 0;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

} // namespace dv
