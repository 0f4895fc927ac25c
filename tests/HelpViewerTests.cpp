// Which viewer the program's help goes to, by what the system has installed
// where WinHelpA would start the legacy viewer: that viewer where there is one,
// HTML Help where there is only a stand-in or nothing.
#include "TestSupport.h"

#include "app/Application.h"
#include "app/Modal.h"

#include <functional>

using dvtest::FormTest;

namespace {

// Where the help viewer's stand-in (tests/help/StandInViewer.cpp) notes that it ran.
const char kStandInNotes[] = "C:\\help-stand-in.txt";

std::vector<std::string> htmlHelpRequests;

std::string WithoutProgramDirectory(std::string text) {
    const std::string directory = dvtest::ProgramDirectory();
    for (size_t at; (at = text.find(directory)) != std::string::npos;)
        text.erase(at, directory.size());
    return text;
}

// What reached the help hooks and the message box, one line each, files named
// relative to the program's folder. The position of HELP_SETPOPUP_POS is left out.
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
    return WithoutProgramDirectory(text);
}

std::string SystemWindowsFolder() {
    char folder[MAX_PATH] = "";
    GetWindowsDirectoryA(folder, MAX_PATH);
    return folder;
}

void PressF1(dv::TSForm& form, dv::ui::TControl& control) {
    control.SetFocus();
    MSG msg{control.Handle(), WM_KEYDOWN, VK_F1, 0, 0, {0, 0}};
    form.PreTranslateKey(msg);
}

// The caption's help button, then a click on the control.
void ClickWithCaptionHelp(dv::ui::TControl& control) {
    HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, control.Handle(), 0, {0, 0}};
    SendMessageA(control.Handle(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
}

// A window of the legacy viewer's class, as an open viewer has.
struct OpenViewerWindow {
    HWND Window;
    OpenViewerWindow() {
        WNDCLASSA viewerClass{};
        viewerClass.lpfnWndProc = DefWindowProcA;
        viewerClass.lpszClassName = "MS_WINHELP";
        RegisterClassA(&viewerClass);
        Window = CreateWindowExA(0, "MS_WINHELP", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    }
    ~OpenViewerWindow() { DestroyWindow(Window); }
};

// The recording hooks, with the legacy viewer looked for in a scratch folder.
class HelpViewer : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        helpFile_ = dv::Application.HelpFile;
        viewer_ = root_ + "\\windows\\winhlp32.exe";
        dvtest::MakeDir(root_ + "\\windows");
        dv::Application.Help.LegacyViewerFolder = root_ + "\\windows";
        dv::Modal().HtmlHelp = [](HWND, const std::string& file, UINT command, DWORD_PTR) {
            htmlHelpRequests.push_back("HtmlHelp " + std::to_string(command) + " " + file);
            return true;
        };
        DeleteFileA(kStandInNotes);
    }
    void TearDown() override {
        dv::Application.Help.CloseAll();
        dv::Application.Help.LegacyViewerFolder.clear();
        dv::Modal().HtmlHelp = dv::PlatformModal().HtmlHelp;
        htmlHelpRequests.clear();
        dv::Application.HelpFile = helpFile_;
        FormTest::TearDown();
    }
    void InstallStandIn() const {
        ASSERT_TRUE(CopyFileA((dvtest::ProgramDirectory() + "help-stand-in.exe").c_str(),
                              viewer_.c_str(), FALSE));
    }
    void InstallViewer() const {
        ASSERT_TRUE(
            CopyFileA((SystemWindowsFolder() + "\\winhlp32.exe").c_str(), viewer_.c_str(), FALSE));
    }
    std::string viewer_; // where WinHelpA would start the legacy viewer
    std::string helpFile_;
};

} // namespace

TEST_F(HelpViewer, GoesToTheLegacyViewerWhereOneIsInstalledElseToHtmlHelp) {
    struct Installed {
        const char* What;
        std::function<void()> Install;
        bool Legacy;
    } installed[] = {
        {"a viewer", [&] { InstallViewer(); }, true},
        {"the stand-in", [&] { InstallStandIn(); }, false},
        {"the stand-in grown to a viewer's size",
         [&] {
             InstallStandIn();
             dvtest::WriteFile(viewer_, dvtest::ReadFile(viewer_) + std::string(1 << 20, '\0'));
         },
         false},
        {"a small file without version information",
         [&] { dvtest::WriteFile(viewer_, std::string(4096, 'x')); }, false},
        {"nothing", [] {}, false},
    };
    // WinHelp HELP_FINDER (11), HELP_SETPOPUP_POS (13), HELP_CONTEXTPOPUP (8);
    // HtmlHelp HH_DISPLAY_TOC (1), HH_DISPLAY_TOPIC (0).
    dv::TSForm& form = Form();
    form.Show();
    struct Action {
        const char* What;
        std::function<void()> Do;
        const char* Legacy;
        const char* Html;
    } actions[] = {
        {"Help", [&] { dvtest::ClickAsUser(form.Button6); }, "WinHelp 11 0\n",
         "HtmlHelp 1 DORMIVANE.CHM\n"},
        {"F1 on the Clean page", [&] { PressF1(form, form.bCleanNow); },
         "WinHelp 13\nWinHelp 8 3\n", "HtmlHelp 0 DORMIVANE.CHM::/Cleaningandscanning.html\n"},
        {"the caption's help button on the Info page", [&] { ClickWithCaptionHelp(form.Button6); },
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
    // An open viewer takes the request even where only the stand-in is installed.
    InstallStandIn();
    {
        OpenViewerWindow open;
        dvtest::ClickAsUser(form.Button6);
        EXPECT_EQ(HelpRequests(), "WinHelp 11 0\n");
    }
    EXPECT_FALSE(dvtest::PathExists(kStandInNotes));
    // The program ends: HTML Help's windows close (HH_CLOSE_ALL, 18) while the
    // message loop still runs.
    SendMessageA(form.Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(HelpRequests(), "HtmlHelp 18 \n");
    MSG quit;
    EXPECT_TRUE(PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

TEST_F(HelpViewer, WithoutHelpFilesOneBoxSaysWhereTheyWereLookedFor) {
    dv::Application.HelpFile = root_ + "\\DORMIVANE.HLP";
    dv::TSForm& form = Form();
    form.Show();
    InstallViewer();
    dvtest::ClickAsUser(form.Button6);
    EXPECT_EQ(HelpRequests(), "MessageBox The help file was not found. Dormivane looked for:\n" +
                                  root_ + "\\DORMIVANE.HLP\n" + root_ + "\\DORMIVANE.CHM\n");
    // Only the legacy help file, and only the stand-in to show it.
    dvtest::WriteFile(root_ + "\\DORMIVANE.HLP", dvtest::ReadFile(helpFile_));
    InstallStandIn();
    PressF1(form, form.bCleanNow);
    EXPECT_EQ(HelpRequests(), "MessageBox The help file was not found. Dormivane looked for:\n" +
                                  root_ + "\\DORMIVANE.CHM\n");
}
