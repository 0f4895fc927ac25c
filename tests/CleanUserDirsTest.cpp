// The user directory list: loading "dv.ini", Add, Remove, Save and the hint,
// and the system folder look-up behind them.
#include "TestSupport.h"

#include "app/Strings.h"
#include "clean/UnitSysDir.h"

using dvtest::FormTest;
using Names = std::vector<std::string>;

namespace {

std::string UserDirFile() { return dvtest::ProgramDirectory() + "dv.ini"; }

int IndexOf(const dv::ui::TListBox& list, const std::string& text) {
    for (int i = 0; i < list.Count(); ++i)
        if (list.Item(i) == text)
            return i;
    return -1;
}

// Takes the current user's shell-folder key away for one test and puts it
// back, values and all, afterwards.
class ShellFoldersKeyRemoved {
  public:
    ShellFoldersKeyRemoved() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, Path(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return;
        for (DWORD i = 0;; ++i) {
            char name[256];
            BYTE data[2048];
            DWORD nameLength = sizeof name, size = sizeof data, type = 0;
            if (RegEnumValueA(key, i, name, &nameLength, nullptr, &type, data, &size) !=
                ERROR_SUCCESS)
                break;
            saved_.push_back({std::string(name, nameLength), type,
                              std::string(reinterpret_cast<char*>(data), size)});
        }
        RegCloseKey(key);
        RegDeleteTreeA(HKEY_CURRENT_USER, Path());
    }
    ~ShellFoldersKeyRemoved() {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, Path(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        for (const Value& value : saved_)
            RegSetValueExA(key, value.Name.c_str(), 0, value.Type,
                           reinterpret_cast<const BYTE*>(value.Data.data()),
                           DWORD(value.Data.size()));
        RegCloseKey(key);
    }
    ShellFoldersKeyRemoved(const ShellFoldersKeyRemoved&) = delete;
    ShellFoldersKeyRemoved& operator=(const ShellFoldersKeyRemoved&) = delete;

  private:
    static const char* Path() { return dv::kShellFoldersKey + 1; }
    struct Value {
        std::string Name;
        DWORD Type;
        std::string Data;
    };
    std::vector<Value> saved_;
};

class CleanUserDirs : public FormTest {};

} // namespace

TEST_F(CleanUserDirs, FileEntriesAreListedSortedIgnoringCaseWithDuplicates) {
    dvtest::WriteFile(UserDirFile(), "D:\\b\r\nc:\\a\r\nD:\\b\r\n");
    dv::TSForm& form = Form();
    EXPECT_EQ(form.ListBox1.Items(), (Names{"c:\\a", "D:\\b", "D:\\b"}));
    EXPECT_EQ(form.SysDir->FUserDirs, (Names{"D:\\b", "c:\\a", "D:\\b"}));
}

TEST_F(CleanUserDirs, FileWithBareLineFeedsAndAnEmptyLineGivesAnEmptyEntry) {
    dvtest::WriteFile(UserDirFile(), "C:\\y\n\nC:\\x");
    EXPECT_EQ(Form().ListBox1.Items(), (Names{"", "C:\\x", "C:\\y"}));
}

TEST_F(CleanUserDirs, SaveWritesSortedLinesWithCrLfAndAnEmptyListDeletesTheFile) {
    dv::TSForm& form = Form();
    for (const char* entry : {"D:\\b", "c:\\a", "D:\\b", "C:\\"})
        form.ListBox1.Add(entry);
    dvtest::ClickAsUser(form.ButtonSave);
    EXPECT_EQ(dvtest::ReadFile(UserDirFile()), "C:\\\r\nc:\\a\r\nD:\\b\r\nD:\\b\r\n");
    EXPECT_FALSE(dvtest::PathExists(UserDirFile() + ".new"));

    form.ListBox1.Clear();
    dvtest::ClickAsUser(form.ButtonSave);
    EXPECT_FALSE(dvtest::PathExists(UserDirFile()));
    dvtest::ClickAsUser(form.ButtonSave);
    EXPECT_FALSE(dvtest::PathExists(UserDirFile()));
    EXPECT_TRUE(dvtest::Modal().Boxes.empty());
}

TEST_F(CleanUserDirs, FailedSaveReportsAndLeavesTheEarlierFileIntact) {
    const std::string earlier = "C:\\earlier\r\n";
    dv::TSForm& form = Form();
    form.ListBox1.Add("C:\\new");

    dvtest::WriteFile(UserDirFile(), earlier, FILE_ATTRIBUTE_READONLY);
    dvtest::ClickAsUser(form.ButtonSave);
    EXPECT_EQ(dvtest::ReadFile(UserDirFile()), earlier);

    // Here the new file cannot be made at all.
    SetFileAttributesA(UserDirFile().c_str(), FILE_ATTRIBUTE_NORMAL);
    dvtest::MakeDir(UserDirFile() + ".new");
    dvtest::ClickAsUser(form.ButtonSave);
    RemoveDirectoryA((UserDirFile() + ".new").c_str());
    EXPECT_EQ(dvtest::ReadFile(UserDirFile()), earlier);

    ASSERT_EQ(dvtest::Modal().Boxes.size(), 2u);
    for (const auto& box : dvtest::Modal().Boxes) {
        EXPECT_EQ(box.Text, "Cannot create file " + UserDirFile() + ".");
        EXPECT_EQ(box.Caption, "Dormivane");
        EXPECT_EQ(box.Type & MB_ICONMASK, UINT(MB_ICONERROR));
    }
    EXPECT_EQ(form.ListBox1.Items(), Names{"C:\\new"});
}

TEST_F(CleanUserDirs, RemovingASystemFolderInAnyCaseUnticksItsBoxAndKeepsTheEntry) {
    dv::TSForm& form = Form();
    form.CheckBox5.SetChecked(true);
    ASSERT_EQ(dvtest::SettingsDword("Cookies"), 1u);
    const std::string entry = dv::LowerAscii(cookies_);
    form.ListBox1.Add(entry);
    form.ListBox1.SetItemIndex(IndexOf(form.ListBox1, entry));
    dvtest::ClickAsUser(form.ButtonRemove);
    EXPECT_FALSE(form.CheckBox5.Checked());
    EXPECT_EQ(dvtest::SettingsDword("Cookies"), 0u);
    EXPECT_EQ(form.ListBox1.Items(), Names{entry});

    // The box is already clear: nothing is stored and the entry stays.
    dvtest::SetSettingsDword("Cookies", 1);
    form.ListBox1.SetItemIndex(0);
    dvtest::ClickAsUser(form.ButtonRemove);
    EXPECT_EQ(dvtest::SettingsDword("Cookies"), 1u);
    EXPECT_EQ(form.ListBox1.Count(), 1);
}

TEST_F(CleanUserDirs, TemporaryDirectoryMatchesOnlyWithItsFinalBackslash) {
    dv::TSForm& form = Form();
    form.CheckBox1.SetChecked(true);
    const std::string withBackslash = dv::UpperAscii(tempDir_) + "\\";
    form.ListBox1.Add(tempDir_);
    form.ListBox1.Add(withBackslash);

    form.ListBox1.SetItemIndex(IndexOf(form.ListBox1, tempDir_));
    dvtest::ClickAsUser(form.ButtonRemove);
    EXPECT_EQ(form.ListBox1.Items(), Names{withBackslash});
    EXPECT_TRUE(form.CheckBox1.Checked());

    form.ListBox1.SetItemIndex(0);
    dvtest::ClickAsUser(form.ButtonRemove);
    EXPECT_EQ(form.ListBox1.Items(), Names{withBackslash});
    EXPECT_FALSE(form.CheckBox1.Checked());
    EXPECT_EQ(dvtest::SettingsDword("Temp"), 0u);
}

TEST_F(CleanUserDirs, RemoveDeletesOnlyTheSelectedEntryAndNotTheFile) {
    dvtest::WriteFile(UserDirFile(), "C:\\a\r\nC:\\b\r\n");
    dv::TSForm& form = Form();
    dvtest::ClickAsUser(form.ButtonRemove); // nothing selected
    EXPECT_EQ(form.ListBox1.Count(), 2);
    form.ListBox1.SetItemIndex(1);
    dvtest::ClickAsUser(form.ButtonRemove);
    EXPECT_EQ(form.ListBox1.Items(), Names{"C:\\a"});
    EXPECT_EQ(dvtest::ReadFile(UserDirFile()), "C:\\a\r\nC:\\b\r\n");
}

TEST_F(CleanUserDirs, SelectingAnEntryMakesItTheListsHintUntilAnotherIsSelected) {
    dv::TSForm& form = Form();
    form.ListBox1.Add("C:\\first");
    form.ListBox1.Add("C:\\second");
    form.ListBox1.SetItemIndex(1);
    form.ListBox1Click();
    EXPECT_EQ(form.ListBox1.Hint, L"C:\\second");
    form.ListBox1.Delete(1);
    form.ListBox1Click(); // nothing selected now
    EXPECT_EQ(form.ListBox1.Hint, L"C:\\second");
}

TEST_F(CleanUserDirs, BrowseAddsTheChosenFolderAndCancelAddsNothing) {
    dv::TSForm& form = Form();
    dvtest::Modal().FolderAnswer = "C:\\chosen";
    dvtest::ClickAsUser(form.ButtonBrowse);
    dvtest::ClickAsUser(form.ButtonBrowse);
    dvtest::Modal().FolderAnswer.reset();
    dvtest::ClickAsUser(form.ButtonBrowse);
    EXPECT_TRUE(dvtest::Modal().Boxes.empty());
    // A path the code page cannot spell would be stored as a look-alike's.
    dvtest::Modal().FolderAnswer = "C:\\tŁmp";
    dvtest::ClickAsUser(form.ButtonBrowse);
    EXPECT_EQ(form.ListBox1.Items(), (Names{"C:\\chosen", "C:\\chosen"}));
    EXPECT_EQ(dvtest::Modal().BrowseTitles, (Names(4, "Select Directory")));
    ASSERT_EQ(dvtest::Modal().Boxes.size(), 1u);
    EXPECT_EQ(dvtest::Modal().Boxes[0].Text.rfind("This folder was not added", 0), 0u);
    EXPECT_FALSE(dvtest::PathExists(UserDirFile()));
}

TEST_F(CleanUserDirs, MissingShellFolderKeyIsReportedOnceAndTempIsStillKnown) {
    ShellFoldersKeyRemoved removed;
    dv::TSForm& form = Form();
    ASSERT_EQ(dvtest::Modal().Boxes.size(), 1u);
    const auto& box = dvtest::Modal().Boxes[0];
    EXPECT_EQ(box.Text, "Error accessing System Folders!");
    EXPECT_EQ(box.Caption, "Error");
    EXPECT_EQ(box.Type & (MB_TYPEMASK | MB_ICONMASK), UINT(MB_OK | MB_ICONERROR));
    EXPECT_EQ(form.SysDir->FTempDir, dvtest::W(tempDir_ + "\\"));
    EXPECT_EQ(form.SysDir->FRecentDir, L"");
    EXPECT_EQ(form.SysDir->FCookiesDir, L"");

    // During a run the failure is silent; the empty path stops the run.
    form.CheckBox2.SetChecked(true);
    dvtest::ClickAsUser(form.bCleanNow);
    ASSERT_EQ(dvtest::Modal().Boxes.size(), 2u);
    EXPECT_EQ(dvtest::Modal().Boxes[1].Text, "Invalid filename.");
}

TEST_F(CleanUserDirs, UnreadableFileStopsStartUpAndTheListOperationsReportInsteadOfFailing) {
    dvtest::WriteFile(UserDirFile(), "C:\\a\r\n");
    HANDLE lock = CreateFileA(UserDirFile().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    dv::TSForm& form = Form();
    CloseHandle(lock);
    EXPECT_EQ(form.SysDir, nullptr);
    form.ListBox1.Add("C:\\added");
    form.ListBox1.SetItemIndex(0);
    dvtest::ClickAsUser(form.ButtonRemove);
    dvtest::ClickAsUser(form.bCleanNow);
    const std::string notLoaded = "The cleaning targets were not loaded at start-up.";
    Names texts;
    for (const auto& box : dvtest::Modal().Boxes)
        texts.push_back(box.Text);
    EXPECT_EQ(texts, (Names{"Cannot open file " + UserDirFile() + ".", notLoaded, notLoaded}));
    EXPECT_TRUE(form.bCleanNow.Enabled());
    EXPECT_EQ(form.ListBox1.Items(), Names{"C:\\added"});
}
