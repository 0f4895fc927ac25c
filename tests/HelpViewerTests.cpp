// Which viewer the program's help goes to, by what is installed where WinHelpA
// would start the legacy viewer: that viewer where there is one, HTML Help
// where there is only a stand-in or nothing.
#include "TestSupport.h"

#include "app/Application.h"
#include "app/Modal.h"

#include <functional>

namespace {

std::vector<std::string> htmlHelpRequests;

// The help requests and message boxes since the last call, one line each; the
// position that HELP_SETPOPUP_POS gives is left out, files go by their names.
std::string HelpRequests() {
    std::string text;
    for (auto [command, data] : dvtest::Modal().HelpCalls)
        text += "WinHelp " + std::to_string(command) +
                (command == HELP_SETPOPUP_POS ? "" : " " + std::to_string(data)) + "\n";
    for (const std::string& request : htmlHelpRequests)
        text += request + "\n";
    for (const dvtest::ModalLog::Box& box : dvtest::Modal().Boxes)
        text += "MessageBox " + box.Text + "\n";
    dvtest::ResetModal();
    htmlHelpRequests.clear();
    return text;
}

std::string ChmFile(const std::string& helpFile) {
    return helpFile.substr(0, helpFile.size() - 3) + "CHM";
}

class HelpViewer : public dvtest::FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        helpFile_ = dv::Application.HelpFile;
        viewer_ = root_ + "\\windows\\winhlp32.exe";
        dvtest::MakeDir(root_ + "\\windows");
        dv::Application.Help.LegacyViewerFolder = root_ + "\\windows";
        dv::Modal().HtmlHelp = [](HWND, const std::string& file, UINT command, DWORD_PTR) {
            htmlHelpRequests.push_back("HtmlHelp " + std::to_string(command) + " " +
                                       file.substr(file.rfind('\\') + 1));
            return true;
        };
        DeleteFileA("C:\\help-stand-in.txt");
    }
    void TearDown() override {
        dv::Application.Help.CloseAll();
        dv::Application.Help.LegacyViewerFolder.clear();
        dv::Modal().HtmlHelp = dv::PlatformModal().HtmlHelp;
        htmlHelpRequests.clear();
        dv::Application.HelpFile = helpFile_;
        FormTest::TearDown();
    }
    // Puts a copy of file where WinHelpA would start the legacy viewer.
    void Install(const std::string& file) const {
        ASSERT_TRUE(CopyFileA(file.c_str(), viewer_.c_str(), FALSE)) << file;
    }
    std::string viewer_; // where WinHelpA would start the legacy viewer
    const std::string wineViewer_ = "C:\\windows\\winhlp32.exe";
    const std::string standIn_ = dvtest::ProgramDirectory() + "help-stand-in.exe";
    std::string helpFile_;
};

} // namespace

TEST_F(HelpViewer, GoesToTheLegacyViewerWhereOneIsInstalledElseToHtmlHelp) {
    struct Installed {
        const char* What;
        std::function<void()> Install;
        bool Legacy;
    } installed[] = {
        {"a viewer", [&] { Install(wineViewer_); }, true},
        {"the stand-in", [&] { Install(standIn_); }, false},
        {"the stand-in grown to a viewer's size (a stub by its description)",
         [&] { dvtest::WriteFile(viewer_, dvtest::ReadFile(standIn_) + std::string(1 << 20, 0)); },
         false},
        {"a small file without version information",
         [&] { dvtest::WriteFile(viewer_, std::string(4096, 'x')); }, false},
        {"nothing", [] {}, false},
    };
    dv::TSForm& form = Form();
    form.Show();
    HELPINFO onHelpButton{sizeof(HELPINFO), HELPINFO_WINDOW, 0, form.Button6.Handle(), 0, {0, 0}};
    // WinHelp HELP_FINDER (11), HELP_SETPOPUP_POS (13), HELP_CONTEXTPOPUP (8);
    // HtmlHelp HH_DISPLAY_TOC (1), HH_DISPLAY_TOPIC (0).
    struct Action {
        const char* What;
        std::function<void()> Do;
        const char* Legacy;
        const char* Html;
    } actions[] = {
        {"Help", [&] { dvtest::ClickAsUser(form.Button6); }, "WinHelp 11 0\n",
         "HtmlHelp 1 DORMIVANE.CHM\n"},
        {"F1 on the Clean page",
         [&] {
             form.bCleanNow.SetFocus();
             MSG f1{form.bCleanNow.Handle(), WM_KEYDOWN, VK_F1, 0, 0, {0, 0}};
             form.PreTranslateKey(f1);
         },
         "WinHelp 13\nWinHelp 8 3\n", "HtmlHelp 0 DORMIVANE.CHM::/Cleaningandscanning.html\n"},
        {"the caption's help button, then the Info page's Help",
         [&] {
             SendMessageA(form.Button6.Handle(), WM_HELP, 0,
                          reinterpret_cast<LPARAM>(&onHelpButton));
         },
         "WinHelp 13\nWinHelp 8 2\n", "HtmlHelp 0 DORMIVANE.CHM::/Dormivaneanditswindow.html\n"},
    };
    for (const Installed& system : installed) {
        DeleteFileA(viewer_.c_str());
        system.Install();
        for (const Action& action : actions) {
            SCOPED_TRACE(std::string(system.What) + ", " + action.What);
            action.Do();
            EXPECT_EQ(HelpRequests(), system.Legacy ? action.Legacy : action.Html);
        }
    }
    // A viewer that is open takes the request, whatever is installed.
    WNDCLASSA viewerClass{0,       DefWindowProcA, 0,       0,       nullptr,
                          nullptr, nullptr,        nullptr, nullptr, "MS_WINHELP"};
    RegisterClassA(&viewerClass);
    HWND openViewer =
        CreateWindowExA(0, "MS_WINHELP", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    actions[0].Do();
    DestroyWindow(openViewer);
    EXPECT_EQ(HelpRequests(), "WinHelp 11 0\n");
    EXPECT_FALSE(dvtest::PathExists("C:\\help-stand-in.txt")); // no stand-in ran
    // As the program ends, HTML Help's windows close (HH_CLOSE_ALL, 18) while
    // the message loop still runs.
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(HelpRequests(), "HtmlHelp 18 \n");
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(HelpViewer, WithNoHelpToShowOneBoxSaysWhereItWasLookedFor) {
    dv::Application.HelpFile = root_ + "\\DORMIVANE.HLP";
    dv::TSForm& form = Form();
    Install(wineViewer_);
    dvtest::ClickAsUser(form.Button6);
    const std::string box = "MessageBox The help file was not found. Dormivane looked for:\n";
    EXPECT_EQ(HelpRequests(), box + root_ + "\\DORMIVANE.HLP\n" + root_ + "\\DORMIVANE.CHM\n");
    // The legacy help file only, and only the stand-in to show it: F1.
    CopyFileA(helpFile_.c_str(), dv::Application.HelpFile.c_str(), FALSE);
    Install(standIn_);
    form.ShowContextHelp(form.bCleanNow.Handle());
    EXPECT_EQ(HelpRequests(), box + root_ + "\\DORMIVANE.CHM\n");
    // Both help files, but no HTML Help.
    CopyFileA(ChmFile(helpFile_).c_str(), ChmFile(dv::Application.HelpFile).c_str(), FALSE);
    dv::Modal().HtmlHelp = [](HWND, const std::string&, UINT, DWORD_PTR) { return false; };
    dvtest::ClickAsUser(form.Button6);
    EXPECT_EQ(HelpRequests(), box + "C:\\windows\\system32\\hhctrl.ocx\n");
}
