// Start-up of the real program: the settings key on first and later starts, the
// unattended clean, and the start-up entry. Each test runs dormivane.exe as a
// process of its own against the prefix's registry and a scratch target.
#include "TestSupport.h"

#include "app/CommandLine.h"
#include "app/Startup.h"
#include "app/Strings.h"
#include "settings/SettingsKey.h"

#include <algorithm>
#include <deque>

using dvtest::FormTest;
using dvtest::ProgramRun;
using Names = std::vector<std::string>;

TEST(StartupCommandLine, SplitsAtBlanksAndControlCharactersAndRemovesQuotes) {
    const std::pair<std::string, Names> cases[] = {
        {"prog", {"prog"}},
        {"\"C:\\Program Files\\dv.exe\" auto", {"C:\\Program Files\\dv.exe", "auto"}},
        {"  prog \t auto\r\nx  ", {"prog", "auto", "x"}},
        {"prog \"au\"to", {"prog", "auto"}},
        {"prog \"a b\" c", {"prog", "a b", "c"}},
        {"prog \"\" auto", {"prog", "", "auto"}},
        {"prog \"unclosed auto", {"prog", "unclosed auto"}},
        {"", {}},
    };
    for (const auto& [line, arguments] : cases)
        EXPECT_EQ(dv::SplitCommandLine(line), arguments) << line;
}

TEST(StartupCommandLine, OnlyAutoAsFirstArgumentInAnyCaseIsUnattended) {
    for (const char* line :
         {"p auto", "p AUTO", "p Auto", "p \"auto\"", "p auto extra", "\"C:\\a b\\p.exe\"\tauto"})
        EXPECT_TRUE(dv::IsUnattendedStart(line)) << line;
    for (const char* line : {"p", "p autox", "p /auto", "p -auto", "p x auto", "p \"\" auto",
                             "auto", "p au to", "p \xC1UTO"})
        EXPECT_FALSE(dv::IsUnattendedStart(line)) << line;
}

TEST(StartupCommandLine, EntryQuotesAProgramPathOnlyWhenItHasABlank) {
    EXPECT_EQ(dv::StartupCommand(L"C:\\Program Files\\Dormivane\\dormivane.exe"),
              L"\"C:\\Program Files\\Dormivane\\dormivane.exe\" auto");
    EXPECT_EQ(dv::StartupCommand(L"C:\\Tools\\dormivane.exe"), L"C:\\Tools\\dormivane.exe auto");
}

namespace {

std::string UserDirFile() { return dvtest::ProgramDirectory() + "dv.ini"; }
std::string Program() { return dvtest::ProgramDirectory() + "dormivane.exe"; }

const char kRunPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The start-up entry in the machine's or the user's list; empty when there is none.
std::string EntryIn(HKEY root) {
    char text[1024] = "";
    DWORD size = sizeof text;
    RegGetValueA(root, kRunPath, dv::kRunValue, RRF_RT_REG_SZ, nullptr, text, &size);
    return text;
}

std::string DialogText(HWND box) {
    char text[1024] = "";
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    return text;
}

class StartupProcess : public FormTest {
  protected:
    void TearDown() override {
        for (ProgramRun& run : runs_)
            dvtest::EndProcess(run);
        FormTest::TearDown();
    }

    // Starts the program and keeps it for TearDown to end.
    ProgramRun& Start(const std::string& arguments, DWORD timeoutMs = 20000,
                      const std::string& program = "") {
        runs_.push_back(dvtest::RunProgram(arguments, timeoutMs, program));
        return runs_.back();
    }

    // A start that must end by itself, successfully, without ever showing its
    // main window. It is waited for until it ends, however long that takes, or
    // until it shows a message box, which ends it: a start still running when
    // the test goes on would write the settings key prepared for the next one.
    void RunToEnd(const std::string& arguments, const std::string& program = "") {
        ProgramRun& run = Start(arguments, 0, program);
        bool windowShown = false;
        while (run.Process) {
            for (HWND window : dvtest::WindowsOf(run.ProcessId, "TSForm"))
                windowShown = windowShown || IsWindowVisible(window);
            const std::vector<HWND> boxes = dvtest::WaitForWindows(run.ProcessId, "#32770", 0);
            if (!boxes.empty()) {
                const std::string text = DialogText(boxes[0]);
                dvtest::EndProcess(run);
                FAIL() << arguments << " shows \"" << text << "\"";
            }
            if (WaitForSingleObject(run.Process, 10) == WAIT_OBJECT_0) {
                DWORD code = 0;
                GetExitCodeProcess(run.Process, &code);
                run.ExitCode = code;
                CloseHandle(run.Process);
                run.Process = nullptr;
            }
        }
        ASSERT_TRUE(run.ExitCode.has_value()) << "did not start: " << arguments;
        EXPECT_EQ(*run.ExitCode, 0u) << arguments;
        EXPECT_FALSE(windowShown) << arguments;
    }

    // A user directory holding files of 1 KB and 2 KB, listed in "dv.ini" by an
    // entry of at least entryLength characters (its separator repeated).
    std::string StockedUserDir(size_t entryLength = 0) {
        const std::string dir = root_ + "\\target";
        dvtest::MakeDir(dir + "\\sub");
        dvtest::WriteFile(dir + "\\one", std::string(1024, 'x'));
        dvtest::WriteFile(dir + "\\sub\\two", std::string(2048, 'x'));
        std::string entry = dir;
        entry.resize(std::max(entryLength, dir.size()), '\\');
        dvtest::WriteFile(UserDirFile(), entry + "\r\n");
        return dir;
    }

    std::deque<ProgramRun> runs_;
};

} // namespace

TEST_F(StartupProcess, FirstStartCreatesTheEightValuesWithTheirTypes) {
    dvtest::DeleteSettingsKey();
    RunToEnd("auto");
    EXPECT_EQ(dvtest::SettingsValueNames(), (Names{"Cache", "Cleaned", "Cookies", "History",
                                                   "InstallDir", "Recent", "StClean", "Temp"}));
    EXPECT_EQ(dvtest::SettingsValueType("InstallDir"), DWORD(REG_SZ));
    EXPECT_EQ(dvtest::SettingsString("InstallDir"), dvtest::ProgramDirectory());
    EXPECT_EQ(dvtest::SettingsString("InstallDir").value_or("").back(), '\\');
    for (const char* name :
         {"Temp", "Recent", "Cache", "History", "Cookies", "StClean", "Cleaned"}) {
        EXPECT_EQ(dvtest::SettingsValueType(name), DWORD(REG_DWORD)) << name;
        EXPECT_EQ(dvtest::SettingsDword(name), 0u) << name;
    }
}

TEST_F(StartupProcess, KeyWithANinthValueIsResetAtEveryStartAndTheExtraValueStays) {
    dvtest::SetSettingsValue("Extra", REG_SZ, std::string("kept", 5));
    for (int start = 0; start < 2; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        dvtest::SetSettingsDword("Recent", 1);
        dvtest::SetSettingsDword("Cleaned", 4321);
        RunToEnd("auto");
        EXPECT_EQ(dvtest::SettingsDword("Recent"), 0u);
        EXPECT_EQ(dvtest::SettingsDword("Cleaned"), 0u);
        EXPECT_EQ(dvtest::SettingsString("Extra"), "kept");
        EXPECT_EQ(dvtest::SettingsValueNames().size(), 9u);
    }
}

TEST_F(StartupProcess, KeyWithSevenValuesIsResetOnceAndThenRead) {
    dvtest::DeleteSettingsValue("Cleaned");
    dvtest::SetSettingsDword("Recent", 1);
    ASSERT_NO_FATAL_FAILURE(RunToEnd("auto"));
    EXPECT_EQ(dvtest::SettingsValueNames().size(), 8u);
    EXPECT_EQ(dvtest::SettingsDword("Recent"), 0u);
    EXPECT_EQ(dvtest::SettingsDword("Cleaned"), 0u);

    dvtest::SetSettingsDword("Recent", 1);
    dvtest::SetSettingsDword("Cleaned", 4321);
    ASSERT_NO_FATAL_FAILURE(RunToEnd("auto"));
    EXPECT_EQ(dvtest::SettingsDword("Recent"), 1u);
    EXPECT_EQ(dvtest::SettingsDword("Cleaned"), 4321u);
}

// Entries past 511 characters too: reading them back from the list for the
// clean once overran a buffer of Wine's.
TEST_F(StartupProcess, AutoInAnyCaseOrQuotedCleansEntriesOfAnyLengthAndEndsWithoutTheWindow) {
    dvtest::SetSettingsDword("Cleaned", 100);
    int64_t expected = 100;
    const std::pair<const char*, size_t> starts[] = {
        {"auto", 0}, {"AUTO", 0}, {"\"auto\"", 0}, {"auto", 5000}, {"auto", 40000}};
    for (const auto& [argument, entryLength] : starts) {
        SCOPED_TRACE(std::string(argument) + ", entry of " + std::to_string(entryLength));
        const std::string target = StockedUserDir(entryLength);
        RunToEnd(argument);
        EXPECT_TRUE(dvtest::TreeListing(target).empty());
        expected += 3;
        EXPECT_EQ(dvtest::SettingsDword("Cleaned"), DWORD(expected));
    }
}

TEST_F(StartupProcess, OtherArgumentsStartNormallyAndCleanNothing) {
    const std::string target = StockedUserDir();
    for (const char* arguments : {"autox", "/auto", "x auto", ""}) {
        SCOPED_TRACE(std::string("arguments '") + arguments + "'");
        ProgramRun& run = Start(arguments, 0);
        const std::vector<HWND> windows = dvtest::WaitForWindows(run.ProcessId, "TSForm");
        ASSERT_EQ(windows.size(), 1u);
        EXPECT_FALSE(IsIconic(windows[0]));
        EXPECT_TRUE(dvtest::WindowsOf(run.ProcessId, "#32770").empty());
        dvtest::EndProcess(run);
        EXPECT_EQ(dvtest::TreeListing(target).size(), 3u);
    }
}

TEST_F(StartupProcess, UnattendedStartStoppedByAVanishedDirectoryReportsAndStaysMinimised) {
    const std::string kept = root_ + "\\z-kept";
    dvtest::MakeDir(kept);
    dvtest::WriteFile(kept + "\\file", "x");
    const std::string first = root_ + "\\a-first";
    dvtest::MakeDir(first);
    dvtest::WriteFile(first + "\\file", std::string(5000, 'x'));
    dvtest::WriteFile(UserDirFile(), kept + "\r\n" + root_ + "\\m-gone\r\n" + first + "\r\n");

    ProgramRun& run = Start("auto", 0);
    const std::vector<HWND> boxes = dvtest::WaitForWindows(run.ProcessId, "#32770");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(dvtest::WindowText(boxes[0]), "Dormivane");
    EXPECT_EQ(DialogText(boxes[0]), "File not found.");
    EXPECT_TRUE(dvtest::TreeListing(first).empty());
    EXPECT_EQ(dvtest::SettingsDword("Cleaned"), 4u);
    PostMessageA(boxes[0], WM_COMMAND, IDOK, 0);

    const std::vector<HWND> windows = dvtest::WaitForWindows(run.ProcessId, "TSForm");
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_TRUE(IsIconic(windows[0]));
    EXPECT_EQ(WaitForSingleObject(run.Process, 0), DWORD(WAIT_TIMEOUT));
    EXPECT_EQ(dvtest::TreeListing(kept), Names{"file"});
}

TEST_F(StartupProcess, UnattendedStartStoppedBeforeTheCleanOpensTheWindowNormally) {
    const std::string target = StockedUserDir();
    dvtest::DeleteSettingsValue("History");
    dvtest::SetSettingsDword("Other", 0);

    ProgramRun& run = Start("auto", 0);
    const std::vector<HWND> boxes = dvtest::WaitForWindows(run.ProcessId, "#32770");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(DialogText(boxes[0]), "Failed to get data for 'History'");
    PostMessageA(boxes[0], WM_COMMAND, IDOK, 0);

    const std::vector<HWND> windows = dvtest::WaitForWindows(run.ProcessId, "TSForm");
    ASSERT_EQ(windows.size(), 1u);
    EXPECT_FALSE(IsIconic(windows[0]));
    EXPECT_EQ(dvtest::TreeListing(target).size(), 3u);
}

// Re-initialising the key reports an entry this user may not remove; the
// unattended start goes on, cleans and ends.
TEST_F(StartupProcess, EntryThatMayNotBeRemovedAtReInitialisingIsReportedAndTheCleanGoesOn) {
    const std::string target = StockedUserDir();
    dvtest::SetSettingsDword("Other", 0);
    dvtest::SetRunEntry("C:\\old\\dormivane.exe auto");
    dvtest::KeyAccess readOnly(HKEY_LOCAL_MACHINE, kRunPath, "D:P(A;;KR;;;WD)");
    ProgramRun& run = Start("auto", 0);
    const std::vector<HWND> boxes = dvtest::WaitForWindows(run.ProcessId, "#32770");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(DialogText(boxes[0]), "Failed to set data for 'Dormivane'");
    PostMessageA(boxes[0], WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForSingleObject(run.Process, 20000), DWORD(WAIT_OBJECT_0));
    EXPECT_TRUE(dvtest::TreeListing(target).empty());
}

TEST_F(StartupProcess, StoredStartUpChoiceRewritesTheEntryWithTheCurrentPathAtEveryStart) {
    dvtest::SetSettingsDword("StClean", 1);
    dvtest::SetRunEntry("C:\\old place\\dormivane.exe auto");
    RunToEnd("auto");
    EXPECT_EQ(dvtest::RunEntry(), Program() + " auto");

    // The same program under a path with a blank: the path is quoted.
    const std::string moved = root_ + "\\Program Files x";
    dvtest::MakeDir(moved);
    ASSERT_TRUE(CopyFileA(Program().c_str(), (moved + "\\dormivane.exe").c_str(), FALSE));
    RunToEnd("auto", moved + "\\dormivane.exe");
    EXPECT_EQ(dvtest::RunEntry(), "\"" + moved + "\\dormivane.exe\" auto");
    EXPECT_EQ(dvtest::SettingsDword("StClean"), 1u);

    // Under a folder the code page cannot spell, whose best fit names none: the
    // entry, and the install folder of a first start, name the program's own.
    const std::string unspellable = root_ + "\\Łukasz", program = unspellable + "\\dormivane.exe";
    dvtest::MakeDir(unspellable);
    ASSERT_TRUE(CopyFileW(dvtest::W(Program()).c_str(), dvtest::W(program).c_str(), FALSE));
    RunToEnd("auto", program);
    EXPECT_EQ(dvtest::RunEntry(), program + " auto");
    dvtest::DeleteSettingsKey();
    RunToEnd("auto", program);
    EXPECT_EQ(dvtest::SettingsString("InstallDir"), unspellable + "\\");
}

// The start-up entry at a start that finds StClean set, then on unticking and
// ticking the box: in the machine's list where it may be written, else in the
// user's. Unticking reports an entry that the machine's list keeps.
TEST_F(StartupProcess, EntryGoesToTheUsersListWhereTheMachinesIsReadOnly) {
    const std::string ours = dvtest::U8(dv::ProgramFile()) + " auto",
                      earlier = "C:\\old\\dormivane.exe auto";
    const Names kept = {"Failed to set data for 'Dormivane'"};
    using Lists = std::pair<std::string, std::string>; // the machine's and the user's entry
    const char* const readOnly = "D:P(A;;KR;;;WD)";
    const struct {
        const char* Access; // the machine list's access list; null: its own
        Lists Earlier;
        Lists Steps[3];
        Names Reports;
    } cases[] = {
        {readOnly, {"", ""}, {{"", ours}, {"", ""}, {"", ours}}, {}},
        {readOnly, {earlier, ""}, {{earlier, ours}, {earlier, ""}, {earlier, ours}}, kept},
        // An entry already in the machine's list is not made twice: the
        // user's goes.
        {readOnly, {ours, ours}, {{ours, ""}, {ours, ""}, {ours, ""}}, kept},
        // A list that grants reading and setting values is enough; the user's
        // entry goes once the machine's list has taken it.
        {"D:P(A;;0x3;;;WD)", {"", ours}, {{ours, ""}, {"", ""}, {ours, ""}}, {}},
        // Last, so that it also shows the access list given back.
        {nullptr, {"", ""}, {{ours, ""}, {"", ""}, {ours, ""}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("case " + std::to_string(&c - cases));
        dvtest::ResetModal();
        dvtest::DeleteRunEntry();
        if (!c.Earlier.first.empty())
            dvtest::SetRunEntry(c.Earlier.first);
        if (!c.Earlier.second.empty())
            RegSetKeyValueA(HKEY_CURRENT_USER, kRunPath, dv::kRunValue, REG_SZ,
                            c.Earlier.second.c_str(), DWORD(c.Earlier.second.size() + 1));
        dvtest::SetSettingsDword("StClean", 1);
        std::optional<dvtest::KeyAccess> access;
        if (c.Access)
            access.emplace(HKEY_LOCAL_MACHINE, kRunPath, c.Access);
        dv::TSForm& form = CreateForm();
        for (int step = 0; step < 3; ++step) {
            if (step > 0) // a click as the user makes it, reported as every handler's error
                SendMessageA(form.CheckBoot.Handle(), BM_CLICK, 0, 0);
            EXPECT_EQ(Lists(EntryIn(HKEY_LOCAL_MACHINE), EntryIn(HKEY_CURRENT_USER)), c.Steps[step])
                << "step " << step;
        }
        Names reports;
        for (const auto& box : dvtest::Modal().Boxes)
            reports.push_back(box.Text);
        EXPECT_EQ(reports, c.Reports);
    }
}
