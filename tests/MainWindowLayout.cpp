// The main window's layout: the frame, the pages and every control where it
// belongs, with its caption, hint and cursor.
#include "TestSupport.h"

#include <commctrl.h>

using dvtest::FormTest;

namespace {

struct Expected {
    const char* Name;
    HWND Handle;
    const char* Class;
    dv::ui::TBounds Bounds;
    const char* Caption;
    bool Visible;
};

std::string ClassOf(HWND hwnd) {
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

bool HasStyle(HWND hwnd, DWORD style) { return (GetWindowLongA(hwnd, GWL_STYLE) & style) == style; }

void ExpectLayout(HWND page, const std::vector<Expected>& controls) {
    for (const Expected& e : controls) {
        SCOPED_TRACE(e.Name);
        ASSERT_TRUE(IsWindow(e.Handle));
        EXPECT_EQ(ClassOf(e.Handle), e.Class);
        const dv::ui::TControl* control = dv::ui::TControl::FromHandle(e.Handle);
        ASSERT_NE(control, nullptr);
        dv::ui::TBounds b = control->Bounds();
        EXPECT_EQ(b.Left, e.Bounds.Left);
        EXPECT_EQ(b.Top, e.Bounds.Top);
        EXPECT_EQ(b.Width, e.Bounds.Width);
        EXPECT_EQ(b.Height, e.Bounds.Height);
        EXPECT_EQ(control->Caption(), e.Caption);
        EXPECT_EQ(HasStyle(e.Handle, WS_VISIBLE), e.Visible);
        // Every control lies on its page, directly or inside a group box.
        EXPECT_TRUE(GetParent(e.Handle) == page || GetParent(GetParent(e.Handle)) == page);
    }
}

// The suite spans MainWindowLayout.cpp and MainWindowInput.cpp: one fixture
// type for both.
using MainWindow = FormTest;

} // namespace

TEST_F(MainWindow, WindowFrameAndPages) {
    dv::TSForm& form = Form();
    char caption[64] = "";
    GetWindowTextA(form.Handle(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Dormivane 3");
    RECT client;
    GetClientRect(form.Handle(), &client);
    EXPECT_EQ(client.right, 435);
    EXPECT_EQ(client.bottom, 275);
    LONG style = GetWindowLongA(form.Handle(), GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongA(form.Handle(), GWL_EXSTYLE) & WS_EX_CONTEXTHELP);

    HWND tabs = form.PageControl1.Handle();
    EXPECT_EQ(ClassOf(tabs), "SysTabControl32");
    EXPECT_TRUE(HasStyle(tabs, TCS_BUTTONS | TCS_FLATBUTTONS | TCS_HOTTRACK));
    const char* captions[] = {"Clean", "Scan", "Info", "&Exit"};
    const int images[] = {2, 0, 3, 4};
    ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 4);
    for (int i = 0; i < 4; ++i) {
        char text[32] = "";
        TCITEMA item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(text, captions[i]);
        EXPECT_EQ(item.iImage, images[i]);
    }
    EXPECT_EQ(form.PageControl1.ActivePageIndex(), 0);
    EXPECT_TRUE(form.TabClean->Visible());
    EXPECT_EQ(ImageList_GetImageCount(form.ImageList1.Handle()), 7);

    EXPECT_EQ(ClassOf(form.StatusBar1.Handle()), "msctls_statusbar32");
    dv::ui::TBounds bar = form.StatusBar1.Bounds();
    EXPECT_EQ(bar.Top, 255);
    EXPECT_EQ(bar.Width, 435);
    EXPECT_EQ(bar.Height, 20);
    EXPECT_EQ(SendMessageA(form.StatusBar1.Handle(), SB_GETPARTS, 0, 0), 2);
}

TEST_F(MainWindow, CleanPageLayout) {
    dv::TSForm& f = Form();
    ExpectLayout(
        f.TabClean->Handle(),
        {
            {"GroupBox1",
             f.GroupBox1.Handle(),
             "Button",
             {0, 0, 169, 125},
             "System directories",
             true},
            {"CheckBox1",
             f.CheckBox1.Handle(),
             "Button",
             {8, 20, 141, 17},
             "Windows &Temp directory",
             true},
            {"CheckBox2",
             f.CheckBox2.Handle(),
             "Button",
             {8, 39, 141, 17},
             "Recent &Documents ",
             true},
            {"CheckBox3",
             f.CheckBox3.Handle(),
             "Button",
             {8, 58, 141, 17},
             "&Internet Cache",
             true},
            {"CheckBox4",
             f.CheckBox4.Handle(),
             "Button",
             {8, 77, 141, 17},
             "Internet &History",
             true},
            {"CheckBox5",
             f.CheckBox5.Handle(),
             "Button",
             {8, 96, 141, 17},
             "Internet &Cookies",
             true},
            {"lStatus", f.lStatus.Handle(), "Static", {0, 134, 33, 13}, "Status:", true},
            {"lprog", f.lprog.Handle(), "Static", {36, 134, 117, 13}, "", true},
            {"ProgressBar1",
             f.ProgressBar1.Handle(),
             "msctls_progress32",
             {0, 154, 169, 12},
             "",
             true},
            {"bCleanNow", f.bCleanNow.Handle(), "Button", {92, 176, 73, 23}, "Clean now!", true},
            {"CheckBoot",
             f.CheckBoot.Handle(),
             "Button",
             {0, 204, 149, 17},
             "Clean on Windows startup",
             true},
            {"GroupBox2",
             f.GroupBox2.Handle(),
             "Button",
             {174, 0, 253, 223},
             "User added directories",
             true},
            {"ListBox1", f.ListBox1.Handle(), "ListBox", {8, 15, 237, 166}, "", true},
            {"ButtonBrowse", f.ButtonBrowse.Handle(), "Button", {8, 189, 69, 23}, " &Add ", true},
            {"ButtonRemove",
             f.ButtonRemove.Handle(),
             "Button",
             {84, 189, 85, 23},
             " &Remove ",
             true},
            {"ButtonSave", f.ButtonSave.Handle(), "Button", {176, 189, 69, 23}, " &Save ", true},
        });
    EXPECT_TRUE(HasStyle(f.ListBox1.Handle(), LBS_SORT));
    EXPECT_TRUE(HasStyle(f.bCleanNow.Handle(), BS_DEFPUSHBUTTON));
    EXPECT_EQ(f.lprog.FontColor, RGB(0, 128, 0));
    EXPECT_EQ(f.CheckBox3.Hint, L"Check to clean Internet Explorer cache");
    EXPECT_EQ(f.CheckBoot.Hint, L"Check to run Dormivane on Windows startup");
    EXPECT_EQ(f.bCleanNow.Cursor, dv::ui::TCursor::Hand);
    EXPECT_EQ(f.ListBox1.Cursor, dv::ui::TCursor::Arrow);
    EXPECT_EQ(f.ListBox1.PopupMenu, &f.PopupMenu1);
}

TEST_F(MainWindow, ScanPageLayout) {
    dv::TSForm& f = Form();
    ExpectLayout(
        f.TabScan->Handle(),
        {
            {"Label5", f.Label5.Handle(), "Static", {0, 0, 33, 13}, "Drives:", true},
            {"cDisks", f.cDisks.Handle(), "SysListView32", {0, 16, 81, 82}, "", true},
            {"Label7", f.Label7.Handle(), "Static", {96, 0, 63, 13}, "Type of Files:", true},
            {"cExt", f.cExt.Handle(), "SysListView32", {96, 16, 141, 82}, "", true},
            {"bScan", f.bScan.Handle(), "Button", {264, 16, 70, 23}, " Scan ", true},
            {"bDelete", f.bDelete.Handle(), "Button", {264, 48, 70, 23}, "Delete", true},
            {"bSelAll", f.bSelAll.Handle(), "Button", {344, 16, 70, 23}, "Select all", true},
            {"bClearAll", f.bClearAll.Handle(), "Button", {344, 48, 70, 23}, "Unselect all", true},
            {"Label9", f.Label9.Handle(), "Static", {264, 80, 150, 13}, "", false},
            {"ProgressBar2",
             f.ProgressBar2.Handle(),
             "msctls_progress32",
             {264, 80, 149, 12},
             "",
             false},
            {"ListFiles", f.ListFiles.Handle(), "SysListView32", {0, 105, 427, 118}, "", true},
        });
    EXPECT_EQ(f.bClearAll.Hint, L"Cleat all selection");
    EXPECT_EQ(f.cExt.Hint, L"Click right mouse button for menu");
    EXPECT_EQ(f.cExt.PopupMenu, &f.PopupMenu2);
    DWORD listStyle = DWORD(SendMessageA(f.ListFiles.Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_TRUE(listStyle & LVS_EX_CHECKBOXES);
    EXPECT_TRUE(SendMessageA(f.cExt.Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) &
                LVS_EX_CHECKBOXES);
    const char* columns[] = {"File name", "Directory", "Size (KB)"};
    const int widths[] = {130, 215, 60};
    for (int i = 0; i < 3; ++i) {
        char text[32] = "";
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        column.pszText = text;
        column.cchTextMax = sizeof text;
        SendMessageA(f.ListFiles.Handle(), LVM_GETCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        EXPECT_STREQ(text, columns[i]);
        EXPECT_EQ(column.cx, widths[i]);
        EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, i == 2 ? LVCFMT_RIGHT : LVCFMT_LEFT);
    }
}

TEST_F(MainWindow, InfoPageLayout) {
    dv::TSForm& f = Form();
    ExpectLayout(f.TabAbout->Handle(),
                 {
                     {"Image1", f.Image1.Handle(), "Static", {111, 12, 32, 32}, "", true},
                     {"Label1", f.Label1.Handle(), "Static", {159, 12, 131, 31}, "Dormivane", true},
                     {"Label2", f.Label2.Handle(), "Static", {295, 26, 27, 13}, "v3.04", true},
                     {"GroupBox3",
                      f.GroupBox3.Handle(),
                      "Button",
                      {62, 152, 209, 65},
                      " Contact && Updates ",
                      true},
                     {"Label4", f.Label4.Handle(), "Static", {22, 20, 31, 13}, "E-mail:", true},
                     {"Label8", f.Label8.Handle(), "Static", {8, 40, 45, 13}, "Web site:", true},
                     {"Button6", f.Button6.Handle(), "Button", {290, 192, 75, 20}, "Help", true},
                 });
    EXPECT_EQ(f.Label3.Bounds().Left, 119);
    EXPECT_EQ(f.Label10.Bounds().Top, 96);
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(f.Label1.Handle(), WM_GETFONT, 0, 0)),
               sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "Times New Roman");
    EXPECT_EQ(font.lfHeight, -27);
    EXPECT_EQ(font.lfWeight, FW_BOLD);
    EXPECT_TRUE(font.lfItalic);
    EXPECT_EQ(f.Email.FontColor, RGB(0, 0, 128));
    EXPECT_EQ(f.HTTP.Hint, L"Visite Dormivane homepage for updates");
    EXPECT_EQ(f.Email.Hint, L"Click to send e-mail to author");
}
