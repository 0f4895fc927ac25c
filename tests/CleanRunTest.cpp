// The clean run: targets in order, progress, the result line, the freed-space
// total, and what an error leaves behind.
#include "ScanFixture.h"
#include "TestSupport.h"

#include "app/Modal.h"
#include "app/Strings.h"
#include "clean/FreedSpace.h"
#include "clean/ProtectedFolders.h"
#include "clean/UnitSysDir.h"

using dvtest::FormTest;
using dvtest::TreeListing;
using Names = std::vector<std::string>;

namespace {

const COLORREF kGreen = RGB(0, 128, 0);
const COLORREF kMaroon = RGB(128, 0, 0);

void Fill(const std::string& path, size_t bytes) {
    dvtest::WriteFile(path, std::string(bytes, 'x'));
}

// A folder holding one file of the given size.
std::string Stocked(const std::string& path, size_t bytes = 1024) {
    dvtest::MakeDir(path);
    Fill(path + "\\file", bytes);
    return path;
}

bool IsEmpty(const std::string& path) { return TreeListing(path).empty(); }

class CleanRun : public FormTest {
  protected:
    // The single error report of the last run, or an empty text.
    std::string Reported() const {
        const auto& boxes = dvtest::Modal().Boxes;
        return boxes.empty() ? "" : boxes.back().Text;
    }
};

} // namespace

TEST_F(CleanRun, NothingChosenCleansNothingAndLeavesTotal) {
    dvtest::SetSettingsDword("Cleaned", 777);
    Stocked(tempDir_);
    dv::TSForm& form = Form();
    dvtest::ClickAsUser(form.bCleanNow);
    EXPECT_EQ(form.lprog.Caption(), "Nothing to clean");
    EXPECT_EQ(form.lprog.FontColor, kMaroon);
    EXPECT_EQ(form.ProgressBar1.Position(), 0);
    EXPECT_FALSE(IsEmpty(tempDir_));
    EXPECT_EQ(dvtest::SettingsDword("Cleaned"), 777u);
    EXPECT_EQ(form.StatusBar1.PanelText(1), "0.7MB");
    EXPECT_TRUE(dvtest::Modal().Boxes.empty());
}

TEST_F(CleanRun, FilesUnderOneKilobyteAreDeletedButNothingIsCounted) {
    dvtest::SetSettingsDword("Cleaned", 50);
    Fill(tempDir_ + "\\a", 1023);
    Fill(tempDir_ + "\\b", 10);
    dv::TSForm& form = Form();
    form.CheckBox1.SetChecked(true);
    dvtest::ClickAsUser(form.bCleanNow);
    EXPECT_TRUE(IsEmpty(tempDir_));
    EXPECT_EQ(form.lprog.Caption(), "Nothing to clean");
    EXPECT_EQ(form.lprog.FontColor, kMaroon);
    EXPECT_EQ(dvtest::SettingsDword("Cleaned"), 50u);
}

TEST_F(CleanRun, ReportsKilobytesInGreenAndAddsThemToTheTotal) {
    dvtest::SetSettingsDword("Cleaned", 12342);
    // TMP has no final "\": the temporary directory arrives with one, so the
    // paths inside carry a doubled backslash.
    dvtest::MakeDir(tempDir_ + "\\sub");
    Fill(tempDir_ + "\\a", 500);
    Fill(tempDir_ + "\\b", 1500);
    Fill(tempDir_ + "\\sub\\c", 3000);
    dv::TSForm& form = Form();
    EXPECT_EQ(form.SysDir->FTempDir, dvtest::W(tempDir_ + "\\"));
    form.CheckBox1.SetChecked(true);
    dvtest::ClickAsUser(form.bCleanNow);
    EXPECT_TRUE(IsEmpty(tempDir_));
    EXPECT_EQ(form.lprog.Caption(), "3KB cleaned");
    EXPECT_EQ(form.lprog.FontColor, kGreen);
    EXPECT_EQ(dvtest::SettingsDword("Cleaned"), 12345u);
    EXPECT_EQ(form.StatusBar1.PanelText(1), "12.3MB");
    EXPECT_EQ(form.ProgressBar1.Position(), 0);
    EXPECT_EQ(form.CleanedKB, 0);
    EXPECT_TRUE(form.bCleanNow.Enabled());

    // A second run counts from 0 again.
    Fill(tempDir_ + "\\d", 2048);
    dvtest::ClickAsUser(form.bCleanNow);
    EXPECT_EQ(form.lprog.Caption(), "2KB cleaned");
    EXPECT_EQ(dvtest::SettingsDword("Cleaned"), 12347u);
    EXPECT_TRUE(dvtest::Modal().Boxes.empty());
}

TEST_F(CleanRun, SystemFoldersComeFirstInFixedOrderThenUserDirectoriesSorted) {
    // History has vanished: the run stops there, so what was emptied shows the order.
    for (const std::string* dir : {&tempDir_, &recent_, &cache_, &cookies_})
        Stocked(*dir);
    dvtest::SetShellFolder("History", root_ + "\\history-gone");
    const std::string user = Stocked(root_ + "\\a-user");
    dv::TSForm& form = Form();
    form.ListBox1.Add(user);
    for (dv::ui::TCheckBox* box :
         {&form.CheckBox5, &form.CheckBox3, &form.CheckBox1, &form.CheckBox4, &form.CheckBox2})
        box->SetChecked(true);
    dvtest::ClickAsUser(form.bCleanNow);
    EXPECT_EQ(Reported(), "File not found.");
    EXPECT_TRUE(IsEmpty(tempDir_));
    EXPECT_TRUE(IsEmpty(recent_));
    EXPECT_TRUE(IsEmpty(cache_));
    EXPECT_FALSE(IsEmpty(cookies_));
    EXPECT_FALSE(IsEmpty(user));
}

TEST_F(CleanRun, UserDirectoriesRunInSortedOrder) {
    const std::string first = Stocked(root_ + "\\u1");
    const std::string third = Stocked(root_ + "\\u3");
    dv::TSForm& form = Form();
    form.ListBox1.Add(third);
    form.ListBox1.Add(root_ + "\\U2-gone");
    form.ListBox1.Add(first);
    dvtest::ClickAsUser(form.bCleanNow);
    EXPECT_EQ(Reported(), "File not found.");
    EXPECT_TRUE(IsEmpty(first));
    EXPECT_FALSE(IsEmpty(third));
}

TEST_F(CleanRun, ErrorRestoresControlsAndKeepsWhatWasDeletedThenReports) {
    dvtest::SetSettingsDword("Cleaned", 1000);
    const std::string a = root_ + "\\a";
    dvtest::MakeDir(a);
    Fill(a + "\\one", 2048);
    Fill(a + "\\two", 1024);
    const std::string c = Stocked(root_ + "\\c");
    dv::TSForm& form = Form();
    form.ListBox1.Add(a);
    form.ListBox1.Add(root_ + "\\b-gone");
    form.ListBox1.Add(c);

    struct AtReport {
        bool ButtonEnabled = false;
        int Bar = -1;
        int64_t Counter = -1;
        std::optional<DWORD> Cleaned;
        std::string Panel;
    } atReport;
    dv::Modal().MessageBox = [&](HWND, const std::string& text, const std::string& caption,
                                 UINT type) {
        atReport = {form.bCleanNow.Enabled(), form.ProgressBar1.Position(), form.CleanedKB,
                    dvtest::SettingsDword("Cleaned"), form.StatusBar1.PanelText(1)};
        dvtest::Modal().Boxes.push_back({text, caption, type});
        return IDOK;
    };
    dvtest::ClickAsUser(form.bCleanNow);

    ASSERT_EQ(dvtest::Modal().Boxes.size(), 1u);
    const auto& box = dvtest::Modal().Boxes[0];
    EXPECT_EQ(box.Text, "File not found.");
    EXPECT_EQ(box.Caption, "Dormivane");
    EXPECT_EQ(box.Type & MB_ICONMASK, UINT(MB_ICONERROR));
    EXPECT_TRUE(atReport.ButtonEnabled);
    EXPECT_EQ(atReport.Bar, 0);
    EXPECT_EQ(atReport.Counter, 0);
    EXPECT_EQ(atReport.Cleaned, 1003u);
    EXPECT_EQ(atReport.Panel, "1MB");
    EXPECT_TRUE(IsEmpty(a));
    EXPECT_FALSE(IsEmpty(c));
}

TEST_F(CleanRun, RelativeOrEmptyEntriesAreNeverEnteredFromTheCurrentDirectory) {
    // The previous target leaves the current directory where a relative entry
    // would find a folder of the same name.
    const std::string previous = root_ + "\\previous";
    dvtest::MakeDir(previous);
    const std::string trap = Stocked(previous + "\\rel");
    for (const std::string entry : {"rel", "", "\\rel", "C:rel", "\\\\server"}) {
        SCOPED_TRACE("entry '" + entry + "'");
        dvtest::ResetModal();
        SetCurrentDirectoryA(previous.c_str());
        dv::TSForm& form = CreateForm();
        form.ListBox1.Add(entry);
        dvtest::ClickAsUser(form.bCleanNow);
        EXPECT_EQ(Reported(), "Invalid filename.");
        EXPECT_FALSE(IsEmpty(trap));
        EXPECT_TRUE(form.bCleanNow.Enabled());
    }
}

// Each row names a root, the profile or a folder above it another way. The
// profile is taken from the environment and from the account, so scratch
// folders stand in for both.
TEST_F(CleanRun, NoRootProfileOrFolderHoldingItIsEmptiedWhateverNamesIt) {
    const std::string users = root_ + "\\Users", profile = Stocked(users + "\\Profile Owner");
    const std::string drive = Stocked(root_ + "\\drive");
    // A profile moved to another disk and linked in; the account's own.
    const std::string moved = Stocked(root_ + "\\D\\Profiles\\me"), account = root_ + "\\accounts";
    dvtest::MakeDir(root_ + "\\Linked");
    ASSERT_TRUE(dvtest::MakeDirectoryLink(root_ + "\\Linked\\me", moved));
    char user[256] = "";
    DWORD userLength = sizeof user;
    GetUserNameA(user, &userLength);
    const std::string own = Stocked(account + "\\" + user);
    const char kProfiles[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
    char savedProfiles[MAX_PATH] = "";
    DWORD length = sizeof savedProfiles;
    RegGetValueA(HKEY_LOCAL_MACHINE, kProfiles, "ProfilesDirectory", RRF_RT_ANY | RRF_NOEXPAND,
                 nullptr, savedProfiles, &length);
    wchar_t shortName[MAX_PATH] = L"";
    GetShortPathNameW(dvtest::W(profile).c_str(), shortName, MAX_PATH);
    ASSERT_TRUE(dvtest::MakeDirectoryLink(root_ + "\\to-profile", profile));
    ASSERT_TRUE(dvtest::MakeDirectoryLink(root_ + "\\to-root", drive));
    ASSERT_TRUE(dvtest::MapDrive("W:", drive));
    wchar_t savedProfile[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"USERPROFILE", savedProfile, MAX_PATH);
    struct Restore {
        const wchar_t* profile;
        const char *profiles, *savedProfiles;
        ~Restore() {
            SetEnvironmentVariableW(L"USERPROFILE", profile);
            RegSetKeyValueA(HKEY_LOCAL_MACHINE, profiles, "ProfilesDirectory", REG_EXPAND_SZ,
                            savedProfiles, DWORD(strlen(savedProfiles) + 1));
            dvtest::UnmapDrive("W:");
        }
    } restore{savedProfile, kProfiles, savedProfiles};
    RegSetKeyValueA(HKEY_LOCAL_MACHINE, kProfiles, "ProfilesDirectory", REG_EXPAND_SZ,
                    account.c_str(), DWORD(account.size() + 1));

    // Folder: the system folder that holds the path, none: a user directory;
    // the USERPROFILE of the run, none: the scratch profile.
    struct Case {
        std::string Folder, Path;
        std::optional<std::string> Profile = std::nullopt;
    };
    const Case cases[] = {
        {"Cookies", root_ + "\\USERS\\PROFILE OWNER\\"},
        {"Cache", "Q:\\"},
        {"Temp", root_ + "\\to-profile"},
        {"Cookies", "\\\\?\\" + profile},
        {"History", dvtest::U8(shortName)},
        {"", root_ + "\\to-root"},
        {"", users},
        {"", profile},
        {"", root_ + "\\Linked", root_ + "\\Linked\\me"},
        {"", own, root_ + "\\stale"},
        {"", own, ""},
    };
    for (const auto& [folder, path, given] : cases) {
        SCOPED_TRACE((folder.empty() ? "user directory" : folder) + " at " + path);
        SetEnvironmentVariableW(L"USERPROFILE", dvtest::W(given.value_or(profile)).c_str());
        dvtest::ResetModal();
        dvtest::CreateSettingsKey();
        if (folder == "Temp")
            dvtest::SetTempDir(path);
        else if (!folder.empty())
            dvtest::SetShellFolder(folder, path);
        dv::TSForm& form = CreateForm();
        (folder == "Temp"      ? form.CheckBox1
         : folder == "Cache"   ? form.CheckBox3
         : folder == "History" ? form.CheckBox4
                               : form.CheckBox5)
            .SetChecked(!folder.empty());
        if (folder.empty())
            form.ListBox1.Add(dvtest::W(path));
        dvtest::ClickAsUser(form.bCleanNow);
        EXPECT_EQ(Reported(), "File access denied.");
        for (const std::string* kept : {&profile, &drive, &moved, &own})
            EXPECT_FALSE(IsEmpty(*kept)) << *kept;
    }
}

// "Ł" has no place in the code page: its best fit, "L", names another folder.
TEST_F(CleanRun, TempOutsideTheCodePageIsEmptiedNotItsLookAlike) {
    const std::string real = Stocked(root_ + "\\tŁmp"), lookAlike = Stocked(root_ + "\\tLmp");
    dvtest::SetTempDir(real);
    dv::TSForm& form = Form();
    form.CheckBox1.SetChecked(true);
    dvtest::ClickAsUser(form.bCleanNow);
    EXPECT_EQ(Reported(), "");
    EXPECT_TRUE(IsEmpty(real));
    EXPECT_FALSE(IsEmpty(lookAlike));
}

TEST(CleanProtectedFolders, RootsAreToldByTheirPathBeforeAnyOpen) {
    for (const wchar_t* path :
         {L"C:\\", L"c:", L"\\\\?\\Q:\\", L"\\\\server\\share\\", L"\\\\?\\UNC\\server\\share"})
        EXPECT_TRUE(dv::IsRootPath(path)) << dvtest::U8(path);
    for (const wchar_t* path : {L"C:\\a", L"\\\\server\\share\\dir", L""})
        EXPECT_FALSE(dv::IsRootPath(path)) << dvtest::U8(path);
}

TEST(CleanFullPath, OnlyDriveLetterPathsAndSharesAreFullFromTheirDriveOrShare) {
    const std::pair<const char*, size_t> full[] = {{"C:\\", 2},
                                                   {"c:\\dir", 2},
                                                   {"D:\\a\\..\\b", 2},
                                                   {"\\\\server\\share", 14},
                                                   {"\\\\server\\share\\dir", 14}};
    for (const auto& [path, root] : full) {
        EXPECT_TRUE(dv::IsFullPath(dvtest::W(path))) << path;
        EXPECT_EQ(dv::RootLength(dvtest::W(path)), root) << path;
    }
    for (const char* path : {"", "C:", "C:dir", "\\dir", "dir", ".\\dir", "1:\\dir", "C:/dir",
                             "\\\\server", "\\\\server\\", "\\\\\\share", "\\\\server\\\\share"})
        EXPECT_FALSE(dv::IsFullPath(dvtest::W(path))) << path;
}

TEST_F(CleanRun, MoreThanAHundredTargetsAreAllEmptied) {
    dv::TSForm& form = Form();
    for (int i = 0; i < 120; ++i)
        form.ListBox1.Add(Stocked(root_ + "\\many\\d" + std::to_string(i)));
    dvtest::ClickAsUser(form.bCleanNow);
    EXPECT_EQ(form.lprog.Caption(), "120KB cleaned");
    EXPECT_EQ(TreeListing(root_ + "\\many").size(), 120u);
}

TEST_F(CleanRun, WithoutSettingsKeyTheRunStillReportsAndPanelStays) {
    Stocked(tempDir_, 4096);
    dv::TSForm& form = Form();
    form.CheckBox1.SetChecked(true);
    const std::string panel = form.StatusBar1.PanelText(1);
    dvtest::DeleteSettingsKey();
    dvtest::ClickAsUser(form.bCleanNow);
    EXPECT_EQ(form.lprog.Caption(), "4KB cleaned");
    EXPECT_EQ(form.lprog.FontColor, kGreen);
    EXPECT_EQ(form.StatusBar1.PanelText(1), panel);
    EXPECT_TRUE(dvtest::SettingsValueNames().empty());
    EXPECT_TRUE(dvtest::Modal().Boxes.empty());
}

TEST_F(CleanRun, TotalThatCannotBeReadIsReportedAndTheButtonComesBack) {
    Stocked(tempDir_, 2048);
    dv::TSForm& form = Form();
    form.CheckBox1.SetChecked(true);
    dvtest::DeleteSettingsValue("Cleaned");
    dvtest::ClickAsUser(form.bCleanNow);
    EXPECT_EQ(Reported(), "Failed to get data for 'Cleaned'");
    EXPECT_TRUE(IsEmpty(tempDir_));
    EXPECT_TRUE(form.bCleanNow.Enabled());
    EXPECT_EQ(form.CleanedKB, 0);
}

TEST_F(CleanRun, ShellFolderOfWrongTypeIsReportedAndTheButtonComesBack) {
    dv::TSForm& form = Form();
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, std::string(dv::kShellFoldersKey).substr(1).c_str(),
                            0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    DWORD number = 1;
    RegSetValueExA(key, "Recent", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    RegCloseKey(key);
    dvtest::ClickAsUser(form.bCleanNow);
    dvtest::SetShellFolder("Recent", recent_);
    EXPECT_EQ(Reported(), "Invalid data type for 'Recent'");
    EXPECT_TRUE(form.bCleanNow.Enabled());
}

TEST(CleanFreedSpaceText, TenthsOfThousandsOfKilobytesCutNotRounded) {
    const std::pair<int32_t, const char*> table[] = {
        {0, "0MB"},
        {99, "0MB"},
        {100, "0.1MB"},
        {1050, "1MB"},
        {1100, "1.1MB"},
        {12345, "12.3MB"},
        {1234567, "1234.5MB"},
        {-150, "-0.1MB"},
        {1049, "1MB"},
        {150, "0.1MB"},
        {INT32_MIN, "-2147483.6MB"},
        {INT32_MAX, "2147483.6MB"},
    };
    for (const auto& [total, text] : table)
        EXPECT_EQ(dv::FreedSpaceText(total), text) << total;
}

TEST(CleanFreedSpaceText, UsesTheUsersDecimalSeparator) {
    char saved[8] = "";
    ASSERT_GT(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved, sizeof saved), 0);
    if (!SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ","))
        GTEST_SKIP() << "the decimal separator cannot be changed here";
    const std::string comma = dv::FreedSpaceText(12345);
    const std::string whole = dv::FreedSpaceText(1000);
    SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, saved);
    EXPECT_EQ(comma, "12,3MB");
    EXPECT_EQ(whole, "1MB");
}
