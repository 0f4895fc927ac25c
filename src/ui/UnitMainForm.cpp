#include "ui/UnitMainForm.h"

#include "app/Application.h"
#include "app/Modal.h"
#include "app/Strings.h"
#include "clean/UnitSysDir.h"
#include "ui/ChildMessages.h"
#include "ui/WorkerRun.h"
#include "ui/resource.h"

namespace dv {

TSForm* SForm = nullptr;
const char* const kMakerEmail = "dv@example.org";
const char* const kMakerWeb = "http://example.org/dv/";

namespace {

const int kClientWidth = 435;
const int kClientHeight = 275;
const COLORREF kGreen = RGB(0, 128, 0);
const COLORREF kNavy = RGB(0, 0, 128);
const DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN;
const DWORD kExStyle = WS_EX_CONTEXTHELP | WS_EX_CONTROLPARENT;

void Describe(ui::TControl& control, const std::string& hint, ui::TCursor cursor) {
    control.Hint = AnsiToWide(hint);
    control.Cursor = cursor;
}

} // namespace

TSForm::TSForm() {
    SForm = this;
    CreateWindowHandle();
    ImageList1.LoadStrips(GetModuleHandleA(nullptr),
                          {{16, IDB_IMAGELIST},
                           {20, IDB_IMAGELIST_20},
                           {24, IDB_IMAGELIST_24},
                           {32, IDB_IMAGELIST_32}},
                          7, dpi_);
    PageControl1.Create(this, {0, 0, 435, 255}, &ImageList1);
    PageControl1.HelpContext = 2;
    TabClean = &PageControl1.AddPage("Clean", 2, 3);
    TabScan = &PageControl1.AddPage("Scan", 0, 3);
    TabAbout = &PageControl1.AddPage("Info", 3, 0);
    TabExit = &PageControl1.AddPage("&Exit", 4, 0);
    CreateCleanPage();
    CreateScanPage();
    CreateInfoPage();
    StatusBar1.Create(this, {0, 255, 435, 20}, {300, 50}, {false, true});
    StatusBar1.HelpContext = 2;
    CreateMenus();
    WireEvents();
    Guarded([this] { FormCreate(); });
}

TSForm::~TSForm() {
    // A scan's worker stops before the record it writes goes.
    if (run_.Worker)
        run_.Worker->Stop();
    if (SForm == this)
        SForm = nullptr;
    ui::OnMouseOverControl = nullptr;
    if (Application.MainWindow == hwnd_)
        Application.MainWindow = nullptr;
    // Child windows go with the top-level window; the control objects only
    // forget their handles.
    DestroyUnbound();
}

void TSForm::CreateWindowHandle() {
    dpi_ = ui::SystemDpi();
    SIZE frame = FrameSize();
    const int left = (GetSystemMetrics(SM_CXSCREEN) - frame.cx) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - frame.cy) / 2;
    const HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_MAIN));
    CreateTopLevel({"TSForm", icon}, "Dormivane 3", kStyle, kExStyle,
                   {left, top, left + frame.cx, top + frame.cy});
    // A display scaled otherwise than the system's gives the window its size anew.
    if (int dpi = ui::WindowDpi(hwnd_); dpi != dpi_) {
        dpi_ = dpi;
        frame = FrameSize();
        SetWindowPos(hwnd_, nullptr, 0, 0, frame.cx, frame.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (!Application.MainWindow)
        Application.MainWindow = hwnd_;
    ui::OnMouseOverControl = [this](ui::TControl* control) { ShowAutoHint(control); };
}

SIZE TSForm::FrameSize() const {
    return ui::FrameSize({Scaled(kClientWidth), Scaled(kClientHeight)}, kStyle, kExStyle, dpi_);
}

void TSForm::ScaleTo(int dpi) {
    dpi_ = dpi;
    ImageList1.ScaleTo(dpi); // first: the tabs and buttons take its new pictures
    ScaleChildren(dpi);
    PopupMenu1.RefreshImages();
    PopupMenu2.RefreshImages();
}

void TSForm::CreateCleanPage() {
    ui::TContainer& page = *TabClean;
    GroupBox1.Create(&page, "System directories", {0, 0, 169, 125});
    struct Box {
        ui::TCheckBox& box;
        const char* caption;
        const char* hint;
    };
    Box boxes[] = {
        {CheckBox1, "Windows &Temp directory", "Check to clean Windows TEMP directory"},
        {CheckBox2, "Recent &Documents ", "Check to clean Documents history"},
        {CheckBox3, "&Internet Cache", "Check to clean Internet Explorer cache"},
        {CheckBox4, "Internet &History", "Check to clean Internet Explorer history"},
        {CheckBox5, "Internet &Cookies", "Check to clean Internet Explorer cookies"},
    };
    int top = 20;
    int tag = 1;
    for (Box& b : boxes) {
        b.box.Create(&GroupBox1, b.caption, {8, top, 141, 17});
        Describe(b.box, b.hint, ui::TCursor::Hand);
        b.box.Tag = tag++;
        top += 19;
    }
    lStatus.Create(&page, "Status:", {0, 134, 33, 13});
    lprog.Create(&page, "", {36, 134, 117, 13}, false);
    lprog.SetFontColor(kGreen);
    ProgressBar1.Create(&page, {0, 154, 169, 12});
    bCleanNow.Create(&page, "Clean now!", {92, 176, 73, 23}, true);
    Describe(bCleanNow, "Clean selected directories", ui::TCursor::Hand);
    CheckBoot.Create(&page, "Clean on Windows startup", {0, 204, 149, 17});
    Describe(CheckBoot, "Check to run Dormivane on Windows startup", ui::TCursor::Hand);
    GroupBox2.Create(&page, "User added directories", {174, 0, 253, 223});
    ListBox1.Create(&GroupBox2, {8, 15, 237, 166}, true);
    ListBox1.Cursor = ui::TCursor::Arrow;
    ListBox1.PopupMenu = &PopupMenu1;
    ButtonBrowse.Create(&GroupBox2, " &Add ", {8, 189, 69, 23});
    Describe(ButtonBrowse, "Browse directories", ui::TCursor::Hand);
    ButtonRemove.Create(&GroupBox2, " &Remove ", {84, 189, 85, 23});
    Describe(ButtonRemove, "Remove directory from list", ui::TCursor::Hand);
    ButtonSave.Create(&GroupBox2, " &Save ", {176, 189, 69, 23});
    Describe(ButtonSave, "Save options", ui::TCursor::Hand);
    ButtonBrowse.SetImage(&ImageList1, 6);
    ButtonRemove.SetImage(&ImageList1, 1);
    ButtonSave.SetImage(&ImageList1, 5);
}

void TSForm::CreateScanPage() {
    ui::TContainer& page = *TabScan;
    Label5.Create(&page, "Drives:", {0, 0, 33, 13});
    cDisks.Create(&page, {0, 16, 81, 82}, 13);
    Describe(cDisks, "Check drive letters you wish to scan", ui::TCursor::Arrow);
    Label7.Create(&page, "Type of Files:", {96, 0, 63, 13});
    cExt.Create(&page, {96, 16, 141, 82}, 13);
    cExt.SetFont({7, "MS Sans Serif"}); // 9 pixels at 96 DPI
    Describe(cExt, "Click right mouse button for menu", ui::TCursor::Arrow);
    cExt.PopupMenu = &PopupMenu2;
    FillDefaultPatterns();
    bScan.Create(&page, " Scan ", {264, 16, 70, 23}, true);
    Describe(bScan, "Scan for selected type of files", ui::TCursor::Hand);
    bDelete.Create(&page, "Delete", {264, 48, 70, 23});
    Describe(bDelete, "Delete selected files", ui::TCursor::Hand);
    bSelAll.Create(&page, "Select all", {344, 16, 70, 23});
    Describe(bSelAll, "Select all files for delete", ui::TCursor::Hand);
    bClearAll.Create(&page, "Unselect all", {344, 48, 70, 23});
    Describe(bClearAll, "Cleat all selection", ui::TCursor::Hand);
    Label9.Create(&page, "", {264, 80, 150, 13}, false);
    Label9.SetVisible(false);
    ProgressBar2.Create(&page, {264, 80, 149, 12}, false);
    ListFiles.Create(
        &page, {0, 105, 427, 118},
        {{"File name", 130, false}, {"Directory", 215, false}, {"Size (KB)", 60, true}});
}

void TSForm::CreateInfoPage() {
    ui::TContainer& page = *TabAbout;
    Image1.Create(&page, "", {111, 12, 32, 32}, true, SS_ICON);
    Image1.SetIcon(IDI_MAIN, 32);
    Label1.Create(&page, "Dormivane", {159, 12, 131, 31}, true, SS_CENTERIMAGE);
    Label1.SetFont({20, "Times New Roman", FW_BOLD, true}); // 27 pixels at 96 DPI
    Label2.Create(&page, "v3.04", {295, 26, 27, 13});
    Bevel1.Create(&page, "", {63, 68, 300, 2}, true, SS_ETCHEDHORZ);
    Label3.Create(&page, "Copyright (c) 1999-2026 Morvask.", {119, 77, 190, 13});
    Label10.Create(&page, "All rights reserved.", {165, 96, 100, 13});
    GroupBox3.Create(&page, " Contact && Updates ", {62, 152, 209, 65});
    Label4.Create(&GroupBox3, "E-mail:", {22, 20, 31, 13});
    Email.Create(&GroupBox3, kMakerEmail, {56, 20, 91, 13}, false);
    Email.SetFontColor(kNavy);
    Describe(Email, "Click to send e-mail to author", ui::TCursor::Hand);
    Label8.Create(&GroupBox3, "Web site:", {8, 40, 45, 13});
    HTTP.Create(&GroupBox3, kMakerWeb, {56, 40, 126, 13}, false);
    HTTP.SetFontColor(kNavy);
    Describe(HTTP, "Visite Dormivane homepage for updates", ui::TCursor::Hand);
    Button6.Create(&page, "Help", {290, 192, 75, 20}, true);
    Describe(Button6, "Help", ui::TCursor::Hand);
}

void TSForm::CreateMenus() {
    PopupMenu1.Add("Add", 6, [this] { ButtonBrowseClick(); });
    PopupMenu1.Add(
        "Remove", 1, [this] { ButtonRemoveClick(); }, true);
    PopupMenu1.Add("Save", 5, [this] { ButtonSaveClick(); });
    PopupMenu1.Build(&ImageList1);
    PopupMenu2.Add("Select all", -1, [this] { selectClick(); });
    PopupMenu2.Add("Unselect all", -1, [this] { deselectClick(); });
    PopupMenu2.Add("Add new file type", 0, [this] { AddClick(); });
    PopupMenu2.Add("Remove file type", 1, [this] { RemoveClick(); });
    PopupMenu2.Build(&ImageList1);
}

void TSForm::WireEvents() {
    for (ui::TCheckBox* box : {&CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5})
        box->OnClick = [this, box] { CheckClick(*box); };
    CheckBoot.OnClick = [this] { CheckBootClick(); };
    bCleanNow.OnClick = [this] { bCleanNowClick(); };
    ButtonBrowse.OnClick = [this] { ButtonBrowseClick(); };
    ButtonRemove.OnClick = [this] { ButtonRemoveClick(); };
    ButtonSave.OnClick = [this] { ButtonSaveClick(); };
    ListBox1.OnClick = [this] { ListBox1Click(); };
    ListBox1.OnDblClick = [this] { ButtonRemoveClick(); };
    bScan.OnClick = [this] { bScanClick(); };
    bDelete.OnClick = [this] { bDeleteClick(); };
    bSelAll.OnClick = [this] { bSelAllClick(); };
    bClearAll.OnClick = [this] { bClearAllClick(); };
    ListFiles.OnSelectItem = [this](int index, bool selected) {
        ListFilesSelectItem(index, selected);
    };
    ListFiles.OnCheck = [this](int index, bool ticked) { ListFilesCheck(index, ticked); };
    ListFiles.OnItemText = [this](int index, int column) { return FoundFileText(index, column); };
    ListFiles.OnItemChecked = [this](int index) { return FoundFileTicked(index); };
    ListFiles.OnFindItem = [this](const std::wstring& text, int start, bool prefix, bool wrap) {
        return FoundFiles.Find(text, start, prefix, wrap);
    };
    cExt.OnClick = [this] { cExtClick(); };
    Button6.OnClick = [this] { Button6Click(); };
    Email.OnClick = [this] { SendEmail(); };
    HTTP.OnClick = [this] { HTTPClick(); };
    TabExit->OnShow = [this] { Close(); };
}

void TSForm::ShowAutoHint(ui::TControl* control) {
    std::wstring hint = control ? control->EffectiveHint() : std::wstring();
    if (control == hintControl_ && hint == hintText_)
        return;
    hintControl_ = control;
    hintText_ = hint;
    StatusBar1.SetPanelText(0, hint);
}

void TSForm::Button6Click() { Application.HelpCommand(HELP_FINDER, 0); }

void TSForm::SendEmail() { Modal().ShellOpen(hwnd_, std::string("mailto:") + kMakerEmail); }

void TSForm::HTTPClick() { Modal().ShellOpen(hwnd_, kMakerWeb); }

void TSForm::ShowContextHelp(HWND control) {
    ui::TControl* owner = ui::TControl::Enclosing(control);
    int topic = owner ? owner->EffectiveHelpContext() : 0;
    RECT r{};
    GetWindowRect(owner ? owner->Handle() : hwnd_, &r);
    Application.HelpCommand(HELP_SETPOPUP_POS, MAKELONG(r.left, r.bottom));
    Application.HelpCommand(HELP_CONTEXTPOPUP, ULONG_PTR(topic));
}

void TSForm::Show() {
    if (WindowState == TWindowState::wsMinimized) {
        ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
        return;
    }
    ShowWindow(hwnd_, SW_SHOWNORMAL);
    UpdateWindow(hwnd_);
    if (!shown_) {
        shown_ = true;
        Guarded([this] { FormShow(); });
    }
}

void TSForm::Close() { PostMessageA(hwnd_, WM_CLOSE, 0, 0); }

ui::TButton* TSForm::DefaultButton() {
    switch (PageControl1.ActivePageIndex()) {
    case 0:
        return &bCleanNow;
    case 1:
        return &bScan;
    case 2:
        return &Button6;
    default:
        return nullptr;
    }
}

bool TSForm::PreTranslateKey(MSG& msg) {
    if (!hwnd_ || !(msg.hwnd == hwnd_ || IsChild(hwnd_, msg.hwnd)))
        return false;
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        ui::TControl* focused = ui::TControl::FromHandle(GetFocus());
        auto* button = dynamic_cast<ui::TButton*>(focused);
        if (!button)
            button = DefaultButton();
        if (button && button->Enabled() && IsWindowVisible(button->Handle()))
            Guarded([button] { button->Click(); });
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1) {
        ShowContextHelp(GetFocus() ? GetFocus() : msg.hwnd);
        return true;
    }
    return IsDialogMessageA(hwnd_, &msg);
}

LRESULT TSForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_HELP:
        ShowContextHelp(static_cast<HWND>(reinterpret_cast<HELPINFO*>(lParam)->hItemHandle));
        return TRUE;
    case WM_SIZE:
        if (wParam == SIZE_RESTORED && WindowState == TWindowState::wsMinimized) {
            WindowState = TWindowState::wsNormal;
            if (!shown_) {
                shown_ = true;
                Guarded([this] { FormShow(); });
            }
        }
        break;
    case WM_CLOSE:
        DestroyWindow(hwnd_);
        return 0;
    case WM_ENDSESSION:
        if (wParam)
            EndSession();
        return 0;
    case WM_DESTROY:
        Application.Terminate();
        return 0;
    }
    return TWindow::HandleMessage(message, wParam, lParam);
}

} // namespace dv
