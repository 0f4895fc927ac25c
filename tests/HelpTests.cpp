// The help file beside the program, as the platform's help viewer shows it:
// its contents, the numbered topics of context help, and help asked for by
// the running program.
#include "TestSupport.h"

#include "app/Modal.h"

#include <cstring>
#include <set>

using dvtest::FormTest;

namespace {

// The viewer's main window; WinHelpA finds the viewer through it.
HWND ViewerWindow() { return FindWindowA("MS_WINHELP", nullptr); }

DWORD ViewerProcessId() {
    DWORD id = 0;
    if (HWND viewer = ViewerWindow())
        GetWindowThreadProcessId(viewer, &id);
    return id;
}

// Ends the viewer that this test started (or an earlier one left), by its id.
void EndViewer() {
    if (DWORD id = ViewerProcessId()) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
        ASSERT_NE(process, nullptr);
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
}

struct ChildQuery {
    std::string Class, Text;
    HWND Found = nullptr;
};

BOOL CALLBACK MatchChild(HWND child, LPARAM param) {
    auto* query = reinterpret_cast<ChildQuery*>(param);
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    if (query->Class != name || (!query->Text.empty() && dvtest::WindowText(child) != query->Text))
        return TRUE;
    query->Found = child;
    return FALSE;
}

// A window below parent (at any depth) of that class and, if given, text.
HWND ChildOf(HWND parent, const std::string& className, const std::string& text = "") {
    ChildQuery query{className, text};
    EnumChildWindows(parent, MatchChild, reinterpret_cast<LPARAM>(&query));
    return query.Found;
}

// The first line of the page the viewer shows, once it shows one that starts
// with title (or whatever it shows after a few seconds).
std::string ViewerPageTitle(const std::string& title) {
    std::string first;
    for (int i = 0; i < 250; ++i, Sleep(20)) {
        HWND viewer = ViewerWindow();
        HWND text = viewer ? ChildOf(viewer, "RichEdit20A") : nullptr;
        if (!text || !IsWindowVisible(viewer))
            continue;
        char page[256] = "";
        SendMessageA(text, WM_GETTEXT, sizeof page, reinterpret_cast<LPARAM>(page));
        first = std::string(page, strcspn(page, "\r\n"));
        if (first == title)
            break;
    }
    return first;
}

// Message boxes that a process shows (the viewer's "Cannot find ...", the
// program's error report).
size_t BoxesOf(DWORD processId) { return dvtest::WindowsOf(processId, "#32770").size(); }

std::string SettingsSnapshot() {
    std::string snapshot;
    for (const std::string& name : dvtest::SettingsValueNames()) {
        auto number = dvtest::SettingsDword(name);
        snapshot += name + "=" +
                    (number ? std::to_string(*number) : dvtest::SettingsString(name).value_or("")) +
                    "\n";
    }
    return snapshot;
}

// The one window of that class that the program shows (waiting for it), or none.
HWND WindowOf(const dvtest::ProgramRun& run, const std::string& className) {
    std::vector<HWND> windows = dvtest::WaitForWindows(run.ProcessId, className);
    return windows.size() == 1 ? windows[0] : nullptr;
}

// dormivane.exe with its window shown, ended with the test.
struct RunningProgram {
    dvtest::ProgramRun Run = dvtest::RunProgram("", 0);
    HWND Form = WindowOf(Run, "TSForm");
    ~RunningProgram() { dvtest::EndProcess(Run); }
};

void PostClick(HWND button) {
    PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
}

class Help : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        EndViewer();
    }
    void TearDown() override {
        EndViewer();
        FormTest::TearDown();
    }
};

// Where the help viewer's stand-in (tests/help/StandInViewer.cpp) notes that it ran.
const char kStandInNotes[] = "C:\\help-stand-in.txt";

// In the prefix of scripts/help-tests only: every winhlp32.exe is the stand-in.
class HelpWithoutLegacyViewer : public Help {
  protected:
    void SetUp() override {
        Help::SetUp();
        if (dvtest::ReadFile("C:\\windows\\winhlp32.exe") !=
            dvtest::ReadFile(dvtest::ProgramDirectory() + "help-stand-in.exe"))
            GTEST_SKIP() << "runs in the prefix of scripts/help-tests";
        DeleteFileA(kStandInNotes);
    }
};

} // namespace

TEST_F(Help, ViewerShowsTheContentsAndTheNumberedTopicsAndChangesNothing) {
    const std::string file = dvtest::ProgramDirectory() + "DORMIVANE.HLP";
    const std::vector<std::string> programFiles = dvtest::TreeListing(dvtest::ProgramDirectory());
    const std::string settings = SettingsSnapshot();
    // Pop-ups (HELP_CONTEXTPOPUP) take their topics from the same map as
    // HELP_CONTEXT; Wine's viewer shows no pop-ups, so the pages prove it.
    struct Case {
        UINT Command;
        ULONG_PTR Data;
        const char* Title;
    } cases[] = {
        {HELP_FINDER, 0, "Dormivane Help"}, // the contents: the first request starts the viewer
        {HELP_CONTEXT, 2, "Dormivane and its window"},
        {HELP_CONTEXT, 3, "Cleaning and scanning"},
    };
    const dv::ModalHooks platform = dv::PlatformModal();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Title);
        EXPECT_TRUE(platform.WinHelp(nullptr, file, c.Command, c.Data));
        EXPECT_EQ(ViewerPageTitle(c.Title), c.Title);
        EXPECT_EQ(BoxesOf(ViewerProcessId()), 0u);
    }
    EndViewer();
    EXPECT_EQ(dvtest::TreeListing(dvtest::ProgramDirectory()), programFiles);
    EXPECT_EQ(SettingsSnapshot(), settings);
}

TEST_F(Help, ProgramOpensItsHelpAfterACleanRunMovedTheCurrentDirectory) {
    dvtest::SetSettingsDword("Temp", 1);
    dvtest::WriteFile(tempDir_ + "\\old.tmp", std::string(2048, 'x'));
    dvtest::ProgramRun run = dvtest::RunProgram("", 0);
    ASSERT_NE(run.Process, nullptr);
    struct Ending {
        dvtest::ProgramRun& Run;
        ~Ending() { dvtest::EndProcess(Run); }
    } ending{run};
    std::vector<HWND> windows = dvtest::WaitForWindows(run.ProcessId, "TSForm");
    ASSERT_EQ(windows.size(), 1u);
    HWND form = windows[0];
    // Clicks are posted, so that a box which the program or the viewer shows
    // cannot hold the test up.
    auto click = [](HWND button) {
        ASSERT_NE(button, nullptr);
        PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
    };
    // The clean run ends in the temporary folder it emptied.
    HWND cleanNow = ChildOf(form, "Button", "Clean now!");
    click(cleanNow);
    for (int i = 0; i < 250 && dvtest::PathExists(tempDir_ + "\\old.tmp"); ++i)
        Sleep(20);
    EXPECT_FALSE(dvtest::PathExists(tempDir_ + "\\old.tmp"));

    click(ChildOf(form, "Button", "Help"));
    EXPECT_EQ(ViewerPageTitle("Dormivane Help"), "Dormivane Help");
    const DWORD viewer = ViewerProcessId();
    EXPECT_NE(viewer, 0u);

    // F1 asks the viewer for a pop-up, which Wine's viewer does not show; an
    // error would show as a box of the viewer or of the program.
    PostMessageA(cleanNow, WM_KEYDOWN, VK_F1, 1);
    for (int i = 0; i < 50 && BoxesOf(viewer) + BoxesOf(run.ProcessId) == 0; ++i)
        Sleep(20);
    EXPECT_EQ(BoxesOf(viewer), 0u);
    EXPECT_EQ(BoxesOf(run.ProcessId), 0u);
    EXPECT_EQ(ViewerProcessId(), viewer);
}

TEST_F(HelpWithoutLegacyViewer, F1AndHelpOpenHtmlHelpAndNeverTheStandIn) {
    RunningProgram program;
    ASSERT_NE(program.Form, nullptr);
    const DWORD id = program.Run.ProcessId;
    // F1 opens the topic's page in an HTML Help window ...
    PostMessageA(ChildOf(program.Form, "Button", "Clean now!"), WM_KEYDOWN, VK_F1, 1);
    HWND html = WindowOf(program.Run, "HH Parent");
    ASSERT_NE(html, nullptr);
    EXPECT_EQ(dvtest::WindowText(html), "Dormivane Help");
    // ... and, that one closed, "Help" opens the contents in another.
    SendMessageA(html, WM_CLOSE, 0, 0);
    EXPECT_TRUE(dvtest::WindowsOf(id, "HH Parent").empty());
    PostClick(ChildOf(program.Form, "Button", "Help"));
    EXPECT_NE(WindowOf(program.Run, "HH Parent"), nullptr);
    EXPECT_EQ(ViewerWindow(), nullptr);
    EXPECT_EQ(BoxesOf(id), 0u);
    EXPECT_FALSE(dvtest::PathExists(kStandInNotes));
    // The program ends as usual.
    PostMessageA(program.Form, WM_CLOSE, 0, 0);
    DWORD exitCode = 1;
    EXPECT_EQ(WaitForSingleObject(program.Run.Process, 10000), WAIT_OBJECT_0);
    GetExitCodeProcess(program.Run.Process, &exitCode);
    EXPECT_EQ(exitCode, 0u);
}

// WinHelpA starts a viewer and looks for its window at once; a viewer that
// makes it later gets the request only when asked again.
TEST_F(HelpWithoutLegacyViewer, WinHelpAsksAgainOnceTheViewerItStartedHasItsWindow) {
    SetEnvironmentVariableA("DV_STAND_IN_WINDOW_AFTER_MS", "500");
    const BOOL answered = dv::PlatformModal().WinHelp(
        nullptr, dvtest::ProgramDirectory() + "DORMIVANE.HLP", HELP_CONTEXT, 3);
    SetEnvironmentVariableA("DV_STAND_IN_WINDOW_AFTER_MS", nullptr);
    EXPECT_TRUE(answered);
    EXPECT_EQ(dvtest::ReadFile(kStandInNotes), "ran\nrequest 1 3\n");
}
