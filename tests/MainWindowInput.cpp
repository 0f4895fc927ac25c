// The main window's input: hints that follow the mouse, keys, context help,
// menus and links, and the Exit page.
#include "TestSupport.h"

#include "app/Application.h"

#include <commctrl.h>

using dvtest::FormTest;
using dvtest::Modal;

namespace {

// Moves the mouse over a control as far as the window can tell.
void HoverOver(HWND hwnd) {
    SendMessageA(hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
}

void PressKey(dv::TSForm& form, HWND target, WPARAM key) {
    MSG msg{target, WM_KEYDOWN, key, 0, 0, {0, 0}};
    if (!form.PreTranslateKey(msg)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// The suite spans MainWindowLayout.cpp and MainWindowInput.cpp: one fixture
// type for both.
using MainWindow = FormTest;

} // namespace

TEST_F(MainWindow, AutomaticHintFollowsTheMouseAndFallsBackToTheEnclosingControl) {
    dv::TSForm& form = Form();
    form.Show();
    form.StatusBar1.SetPanelText(0, "3 files found");
    HoverOver(form.CheckBox3.Handle());
    EXPECT_EQ(form.StatusBar1.PanelText(0), "Check to clean Internet Explorer cache");
    // A label without a hint on a page without one: empty.
    HoverOver(form.lStatus.Handle());
    EXPECT_EQ(form.StatusBar1.PanelText(0), "");
    // The list view's column header has no hint of its own: the list's shows.
    form.ListFiles.Hint = L"7 files found";
    HWND header =
        reinterpret_cast<HWND>(SendMessageA(form.ListFiles.Handle(), LVM_GETHEADER, 0, 0));
    ASSERT_TRUE(header);
    // As the header's default handling passes the message on to the page.
    SendMessageA(form.TabScan->Handle(), WM_SETCURSOR, reinterpret_cast<WPARAM>(header),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(form.StatusBar1.PanelText(0), "7 files found");
    // A hint changed by an operation shows its new text as the mouse moves on it.
    form.ListBox1.Add("C:\\dvtest\\one");
    HoverOver(form.ListBox1.Handle());
    EXPECT_EQ(form.StatusBar1.PanelText(0), "");
    form.ListBox1.SetItemIndex(0);
    form.ListBox1Click();
    HoverOver(form.ListBox1.Handle());
    EXPECT_EQ(form.StatusBar1.PanelText(0), "C:\\dvtest\\one");
}

TEST_F(MainWindow, TooltipShowsTheHintOfTheControlTheMouseRestsOn) {
    dv::TSForm& form = Form();
    form.Show();
    HWND tip = static_cast<HWND>(GetPropA(form.Handle(), "DvTooltip"));
    ASSERT_TRUE(tip);
    SendMessageW(tip, TTM_SETDELAYTIME, TTDT_INITIAL, 1);
    // The mouse comes to rest on the button; its moves are posted to the
    // queue, as the X server's are, and pumped as the program pumps them.
    form.PageControl1.SetActivePage(1);
    RECT button;
    GetWindowRect(form.bScan.Handle(), &button);
    SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
    wchar_t text[100] = L"";
    for (int wait = 0; wait < 100 && !IsWindowVisible(tip); ++wait) {
        PostMessageA(form.bScan.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(5, 5));
        dv::Application.ProcessMessages();
        Sleep(20);
    }
    GetWindowTextW(tip, text, 100);
    EXPECT_TRUE(IsWindowVisible(tip));
    EXPECT_STREQ(text, L"Scan for selected type of files");
}

TEST_F(MainWindow, EnterPressesTheDefaultButtonOfThePageInViewOnly) {
    dv::TSForm& form = Form();
    form.Show();
    // Clean page: the clean run, with nothing chosen.
    form.ListBox1.SetFocus();
    PressKey(form, form.ListBox1.Handle(), VK_RETURN);
    EXPECT_EQ(form.lprog.Caption(), "Nothing to clean");
    EXPECT_TRUE(Modal().HelpCalls.empty());
    // Info page: help contents, and no clean run.
    form.lprog.SetCaption("");
    form.PageControl1.SetActivePage(2);
    PressKey(form, form.TabAbout->Handle(), VK_RETURN);
    ASSERT_EQ(Modal().HelpCalls.size(), 1u);
    EXPECT_EQ(Modal().HelpCalls[0].first, UINT(HELP_FINDER));
    EXPECT_EQ(Modal().HelpFiles[0], dvtest::ProgramDirectory() + "DORMIVANE.HLP");
    EXPECT_EQ(form.lprog.Caption(), "");
    // Scan page: a scan.
    form.PageControl1.SetActivePage(1);
    for (int i = 0; i < form.cDisks.Count(); ++i)
        form.cDisks.SetChecked(i, false);
    form.cExt.SetFocus();
    PressKey(form, form.cExt.Handle(), VK_RETURN);
    EXPECT_EQ(form.Label9.Caption(), "No drive selected!");
    EXPECT_EQ(Modal().HelpCalls.size(), 1u);
}

TEST_F(MainWindow, AcceleratorTicksItsCheckBox) {
    dv::TSForm& form = Form();
    form.Show();
    form.ListBox1.SetFocus();
    MSG msg{form.ListBox1.Handle(), WM_SYSCHAR, 't', 1 << 29, 0, {0, 0}};
    if (!form.PreTranslateKey(msg))
        DispatchMessageA(&msg);
    dvtest::PumpMessages();
    EXPECT_TRUE(form.CheckBox1.Checked());
    EXPECT_EQ(dvtest::SettingsDword("Temp"), 1u);
}

TEST_F(MainWindow, ContextHelpShowsTheTopicOfTheControlOrItsPage) {
    dv::TSForm& form = Form();
    form.Show();
    struct Case {
        HWND Control;
        ULONG_PTR Topic;
    } cases[] = {
        {form.CheckBox2.Handle(), 3},  {form.ListBox1.Handle(), 3},
        {form.bScan.Handle(), 3},      {form.Button6.Handle(), 2},
        {form.StatusBar1.Handle(), 2}, {form.PageControl1.Handle(), 2},
    };
    for (const Case& c : cases) {
        dvtest::ResetModal();
        // F1 with the focus on the control.
        form.ShowContextHelp(c.Control);
        ASSERT_EQ(Modal().HelpCalls.size(), 2u);
        EXPECT_EQ(Modal().HelpCalls[0].first, UINT(HELP_SETPOPUP_POS));
        EXPECT_EQ(Modal().HelpCalls[1], std::make_pair(UINT(HELP_CONTEXTPOPUP), c.Topic));
    }
    // The caption's help button: the control receives WM_HELP, which travels
    // up to the window.
    dvtest::ResetModal();
    HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, form.CheckBox4.Handle(), 0, {0, 0}};
    SendMessageA(form.CheckBox4.Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_EQ(Modal().HelpCalls.size(), 2u);
    EXPECT_EQ(Modal().HelpCalls[1], std::make_pair(UINT(HELP_CONTEXTPOPUP), ULONG_PTR(3)));
    // F1 as a key.
    dvtest::ResetModal();
    form.bCleanNow.SetFocus();
    PressKey(form, form.bCleanNow.Handle(), VK_F1);
    ASSERT_EQ(Modal().HelpCalls.size(), 2u);
    EXPECT_EQ(Modal().HelpCalls[1], std::make_pair(UINT(HELP_CONTEXTPOPUP), ULONG_PTR(3)));
}

TEST_F(MainWindow, MenusAndLinksReachTheirOperations) {
    dv::TSForm& form = Form();
    ASSERT_EQ(form.PopupMenu1.Count(), 3);
    EXPECT_EQ(GetMenuDefaultItem(form.PopupMenu1.Handle(), FALSE, 0), 2u); // "Remove", drawn bold
    Modal().FolderAnswer = root_ + "\\picked";
    form.PopupMenu1.Item(0).OnClick(); // Add
    ASSERT_EQ(form.ListBox1.Count(), 1);
    EXPECT_EQ(form.ListBox1.Item(0), root_ + "\\picked");
    form.PopupMenu1.Item(2).OnClick(); // Save
    EXPECT_EQ(dvtest::ReadFile(dvtest::ProgramDirectory() + "dv.ini"), root_ + "\\picked\r\n");
    form.ListBox1.SetItemIndex(0);
    form.PopupMenu1.Item(1).OnClick(); // Remove
    EXPECT_EQ(form.ListBox1.Count(), 0);

    ASSERT_EQ(form.PopupMenu2.Count(), 4);
    const char* captions[] = {"Select all", "Unselect all", "Add new file type",
                              "Remove file type"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(form.PopupMenu2.Item(i).Caption, captions[i]);
    form.PopupMenu2.Item(0).OnClick();
    for (int i = 0; i < form.cExt.Count(); ++i)
        EXPECT_TRUE(form.cExt.Checked(i));
    form.PopupMenu2.Item(1).OnClick();
    for (int i = 0; i < form.cExt.Count(); ++i)
        EXPECT_FALSE(form.cExt.Checked(i));

    form.Button6.Click();
    form.Email.OnClick();
    form.HTTP.OnClick();
    ASSERT_EQ(Modal().Opened.size(), 2u);
    EXPECT_EQ(Modal().Opened[0], std::string("mailto:") + dv::kMakerEmail);
    EXPECT_EQ(Modal().Opened[1], dv::kMakerWeb);
    ASSERT_EQ(Modal().HelpCalls.size(), 1u);
    EXPECT_EQ(Modal().HelpCalls[0], std::make_pair(UINT(HELP_FINDER), ULONG_PTR(0)));
}

TEST_F(MainWindow, ChoosingTheExitTabClosesTheWindow) {
    dv::TSForm& form = Form();
    form.Show();
    HWND tabs = form.PageControl1.Handle();
    RECT exitTab;
    ASSERT_TRUE(SendMessageA(tabs, TCM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&exitTab)));
    LPARAM at = MAKELPARAM((exitTab.left + exitTab.right) / 2, (exitTab.top + exitTab.bottom) / 2);
    SendMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tabs, WM_LBUTTONUP, 0, at);
    HWND window = form.Handle();
    dvtest::PumpMessages();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_TRUE(dv::Application.Terminated);
}
