// The window at the display's scale: every figure of the 96-DPI design scaled,
// fonts and pictures at their size, no caption clipped, and a change of DPI
// while the window is up. scripts/dpi-tests runs these at 120, 144 and 192 DPI.
#include "TestSupport.h"

#include "scan/Unit1.h"

#include <commctrl.h>

#include <cstdlib>
#include <map>

using dv::ui::Scale;
using dv::ui::TBounds;
using dv::ui::TControl;

namespace {

int FontHeight(HWND hwnd) {
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font.lfHeight;
}

int ImageSize(HIMAGELIST images) {
    int width = 0, height = 0;
    ImageList_GetIconSize(images, &width, &height);
    EXPECT_EQ(width, height);
    return width;
}

int StateImageSize(const TControl& list) {
    return ImageSize(reinterpret_cast<HIMAGELIST>(
        SendMessageA(list.Handle(), LVM_GETIMAGELIST, LVSIL_STATE, 0)));
}

int IconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info))
        return 0;
    BITMAP bitmap{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

void ExpectBounds(const char* name, const TControl& control, TBounds design, int dpi) {
    SCOPED_TRACE(name);
    TBounds b = control.Bounds();
    EXPECT_EQ(b.Left, Scale(design.Left, dpi));
    EXPECT_EQ(b.Top, Scale(design.Top, dpi));
    EXPECT_EQ(b.Width, Scale(design.Width, dpi));
    EXPECT_EQ(b.Height, Scale(design.Height, dpi));
}

// The window laid out for a DPI, against figures of the 96-DPI design.
void ExpectLayoutAt(dv::TSForm& f, int dpi) {
    SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
    EXPECT_EQ(f.Dpi(), dpi);
    RECT client;
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(client.right, Scale(435, dpi));
    EXPECT_EQ(client.bottom, Scale(275, dpi));
    ExpectBounds("PageControl1", f.PageControl1, {0, 0, 435, 255}, dpi);
    ExpectBounds("TabScan", *f.TabScan, {4, 28, 427, 223}, dpi);
    ExpectBounds("CheckBox1", f.CheckBox1, {8, 20, 141, 17}, dpi);
    ExpectBounds("CheckBoot", f.CheckBoot, {0, 204, 149, 17}, dpi);
    ExpectBounds("ListBox1", f.ListBox1, {8, 15, 237, 166}, dpi);
    ExpectBounds("ButtonRemove", f.ButtonRemove, {84, 189, 85, 23}, dpi);
    ExpectBounds("cExt", f.cExt, {96, 16, 141, 82}, dpi);
    ExpectBounds("bClearAll", f.bClearAll, {344, 48, 70, 23}, dpi);
    ExpectBounds("ListFiles", f.ListFiles, {0, 105, 427, 118}, dpi);
    ExpectBounds("Image1", f.Image1, {111, 12, 32, 32}, dpi);
    ExpectBounds("Label1", f.Label1, {159, 12, 131, 31}, dpi);
    ExpectBounds("HTTP", f.HTTP, {56, 40, 126, 13}, dpi);
    ExpectBounds("Button6", f.Button6, {290, 192, 75, 20}, dpi);
    ExpectBounds("StatusBar1", f.StatusBar1, {0, 255, 435, 20}, dpi);
    const int widths[] = {130, 215, 60};
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(SendMessageA(f.ListFiles.Handle(), LVM_GETCOLUMNWIDTH, i, 0),
                  Scale(widths[i], dpi));
    // The pattern list's one column: the list's width less the scroll bar's at
    // the DPI (17 pixels at 96) and a margin of 4 design pixels.
    const std::map<int, LRESULT> patternColumn = {{96, 120}, {120, 150}, {144, 180}, {192, 240}};
    ASSERT_TRUE(patternColumn.contains(dpi));
    EXPECT_EQ(SendMessageA(f.cExt.Handle(), LVM_GETCOLUMNWIDTH, 0, 0), patternColumn.at(dpi));
    int edges[2] = {};
    SendMessageA(f.StatusBar1.Handle(), SB_GETPARTS, 2, reinterpret_cast<LPARAM>(edges));
    EXPECT_EQ(edges[0], Scale(300, dpi));
    // 8, 7 and 20 points: 11, 9 and 27 pixels at 96 DPI.
    EXPECT_EQ(FontHeight(f.CheckBox1.Handle()), -MulDiv(8, dpi, 72));
    EXPECT_EQ(FontHeight(f.cExt.Handle()), -MulDiv(7, dpi, 72));
    EXPECT_EQ(FontHeight(f.Label1.Handle()), -MulDiv(20, dpi, 72));
    // Pictures drawn at the size the DPI asks for: 16, 20, 24, 32 pixels.
    EXPECT_EQ(ImageSize(f.ImageList1.Handle()), Scale(16, dpi));
    EXPECT_EQ(
        reinterpret_cast<HIMAGELIST>(SendMessageA(f.PageControl1.Handle(), TCM_GETIMAGELIST, 0, 0)),
        f.ImageList1.Handle());
    EXPECT_EQ(IconSize(reinterpret_cast<HICON>(
                  SendMessageA(f.ButtonSave.Handle(), BM_GETIMAGE, IMAGE_ICON, 0))),
              Scale(16, dpi));
    EXPECT_EQ(IconSize(reinterpret_cast<HICON>(SendMessageA(f.Image1.Handle(), STM_GETICON, 0, 0))),
              Scale(32, dpi));
    EXPECT_EQ(StateImageSize(f.cExt), Scale(13, dpi));
    EXPECT_EQ(StateImageSize(f.ListFiles), Scale(13, dpi));
}

// The room a control of this width gives its caption at a DPI: a check box's
// box and a button's picture take their part.
int CaptionRoom(const TControl& control, int width, int dpi) {
    const LONG style = GetWindowLongA(control.Handle(), GWL_STYLE);
    if ((style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
        return width - Scale(13 + 4, dpi);
    if (SendMessageA(control.Handle(), BM_GETIMAGE, IMAGE_ICON, 0))
        return width - Scale(16, dpi);
    return width;
}

int TextWidth(HWND hwnd, HFONT font, const std::string& text) {
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, font);
    RECT r{0, 0, 0, 0};
    DrawTextA(dc, text.c_str(), -1, &r, DT_CALCRECT | DT_SINGLELINE);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return r.right;
}

// A caption that fits its control at 96 DPI fits it at the control's DPI too.
BOOL CALLBACK ExpectCaptionFits(HWND hwnd, LPARAM) {
    const TControl* c = TControl::FromHandle(hwnd);
    if (!c || c->Caption().empty())
        return TRUE;
    const std::string caption = c->Caption();
    const int designWidth = TextWidth(hwnd, dv::ui::FontFor(c->Font(), 96), caption);
    if (designWidth > CaptionRoom(*c, c->DesignBounds().Width, 96))
        return TRUE;
    auto font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    EXPECT_LE(TextWidth(hwnd, font, caption), CaptionRoom(*c, c->Bounds().Width, c->Dpi()))
        << '"' << caption << "\" at " << c->Dpi() << " DPI";
    return TRUE;
}

void ExpectCaptionsFit(HWND window) { EnumChildWindows(window, ExpectCaptionFits, 0); }

class DisplayScale : public dvtest::FormTest {};

} // namespace

TEST_F(DisplayScale, WindowAndDialogFollowTheDesktopDpi) {
    dv::TSForm& form = Form();
    // scripts/dpi-tests names the DPI it set the desktop to.
    if (const char* desktop = std::getenv("DORMIVANE_EXPECT_DPI")) {
        ASSERT_EQ(form.Dpi(), std::atoi(desktop));
    }
    ExpectLayoutAt(form, form.Dpi());
    ExpectCaptionsFit(form.Handle());

    dv::TAddExt dialog;
    const int dpi = dialog.Dpi();
    EXPECT_EQ(dpi, form.Dpi());
    RECT r;
    GetWindowRect(dialog.Handle(), &r);
    EXPECT_EQ(r.right - r.left, Scale(144, dpi));
    EXPECT_EQ(r.bottom - r.top, Scale(65, dpi));
    ExpectBounds("Edit1", dialog.Edit1, {2, 18, 140, 21}, dpi);
    ExpectBounds("Button1", dialog.Button1, {2, 43, 140, 20}, dpi);
    EXPECT_EQ(FontHeight(dialog.Label1.Handle()), -MulDiv(8, dpi, 72));
    ExpectCaptionsFit(dialog.Handle());

    // Moved to a display of another scale, the dialog follows as the window does.
    const int other = dpi == 144 ? 192 : 144;
    RECT given{40, 50, 40 + Scale(144, other), 50 + Scale(65, other)};
    SendMessageA(dialog.Handle(), WM_DPICHANGED, MAKEWPARAM(other, other),
                 reinterpret_cast<LPARAM>(&given));
    GetWindowRect(dialog.Handle(), &r);
    EXPECT_TRUE(EqualRect(&r, &given));
    ExpectBounds("Edit1", dialog.Edit1, {2, 18, 140, 21}, other);
    EXPECT_EQ(FontHeight(dialog.Button1.Handle()), -MulDiv(8, other, 72));
    ExpectCaptionsFit(dialog.Handle());
}

TEST_F(DisplayScale, DpiChangeLaysTheWindowOutAgainAndKeepsItsState) {
    dv::TSForm& f = Form();
    f.Show();
    f.PageControl1.SetActivePage(1);
    f.CheckBox2.SetChecked(true);
    for (int i = 0; i < 30; ++i)
        f.ListBox1.Add(root_ + "\\dir" + std::to_string(10 + i));
    f.ListBox1.SetItemIndex(25);
    SendMessageA(f.ListBox1.Handle(), LB_SETTOPINDEX, 12, 0);
    for (int i = 0; i < 60; ++i)
        f.FoundFiles.Insert(L"file" + std::to_wstring(100 + i), L"C:\\dvtest", 1);
    f.ListFiles.SetCount(f.FoundFiles.Count());
    f.ListFiles.SetChecked(3, true);
    f.ListFiles.SetSelected(45, true);
    SendMessageA(f.ListFiles.Handle(), LVM_ENSUREVISIBLE, 50, FALSE);
    f.cExt.SetChecked(1, true);
    f.cExt.SetItemIndex(2);
    auto topOf = [](const TControl& list) {
        return SendMessageA(list.Handle(), LVM_GETTOPINDEX, 0, 0);
    };
    const LRESULT filesTop = topOf(f.ListFiles);
    const LRESULT dirsTop = SendMessageA(f.ListBox1.Handle(), LB_GETTOPINDEX, 0, 0);
    ASSERT_GT(filesTop, 0);

    const int before = f.Dpi();
    RECT window, client;
    GetWindowRect(f.Handle(), &window);
    GetClientRect(f.Handle(), &client);
    const SIZE frame{window.right - window.left - client.right,
                     window.bottom - window.top - client.bottom};
    for (int dpi : {120, 144, 192, before}) {
        // The rectangle Windows suggests: the window's new size where it moves to.
        RECT given{20, 30, 20 + Scale(435, dpi) + frame.cx, 30 + Scale(275, dpi) + frame.cy};
        SendMessageA(f.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                     reinterpret_cast<LPARAM>(&given));
        GetWindowRect(f.Handle(), &window);
        EXPECT_TRUE(EqualRect(&window, &given));
        ExpectLayoutAt(f, dpi);
        ExpectCaptionsFit(f.Handle());

        EXPECT_EQ(f.PageControl1.ActivePageIndex(), 1);
        EXPECT_TRUE(f.TabScan->Visible());
        EXPECT_FALSE(f.TabClean->Visible());
        EXPECT_TRUE(f.CheckBox2.Checked());
        EXPECT_EQ(f.ListBox1.Count(), 30);
        EXPECT_EQ(f.ListBox1.ItemIndex(), 25);
        EXPECT_EQ(SendMessageA(f.ListBox1.Handle(), LB_GETTOPINDEX, 0, 0), dirsTop);
        EXPECT_EQ(f.ListFiles.Count(), 60);
        EXPECT_TRUE(f.ListFiles.Checked(3));
        EXPECT_TRUE(f.ListFiles.Selected(45));
        EXPECT_EQ(topOf(f.ListFiles), filesTop);
        EXPECT_TRUE(f.cExt.Checked(1));
        EXPECT_EQ(f.cExt.ItemIndex(), 2);
    }
}
