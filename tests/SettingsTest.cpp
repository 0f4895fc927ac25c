// The settings key as the window reads and writes it: the target boxes, the
// start-up box with its Run entry, the total, and registry errors at start-up.
#include "TestSupport.h"

#include "app/Strings.h"
#include "clean/UnitSysDir.h"
#include "settings/SettingsKey.h"

using dvtest::FormTest;
using Names = std::vector<std::string>;

namespace {

std::string UserDirFile() { return dvtest::ProgramDirectory() + "dv.ini"; }

class Settings : public FormTest {};

} // namespace

TEST_F(Settings, StoredChoicesTickTheirBoxesAndAreStoredBackAsOne) {
    dvtest::CreateSettingsKey(12345);
    dvtest::SetSettingsDword("Temp", 2);
    dvtest::SetSettingsDword("Cookies", 0xFFFFFFFF);
    dv::TSForm& form = Form();
    EXPECT_TRUE(form.CheckBox1.Checked());
    EXPECT_FALSE(form.CheckBox2.Checked());
    EXPECT_TRUE(form.CheckBox5.Checked());
    EXPECT_FALSE(form.CheckBoot.Checked());
    EXPECT_EQ(dvtest::SettingsDword("Temp"), 1u);
    EXPECT_EQ(dvtest::SettingsDword("Cookies"), 1u);
    EXPECT_EQ(form.StatusBar1.PanelText(1), "12.3MB");
    EXPECT_EQ(form.PageControl1.ActivePageIndex(), 0);
    EXPECT_EQ(form.WindowState, dv::TWindowState::wsNormal);
    EXPECT_TRUE(dvtest::Modal().Boxes.empty());
}

// Keys that grant no more than the program's calls use: reading and setting
// values, reading alone for the shell folders.
TEST_F(Settings, KeysGrantingOnlyTheRightsUsedServeStartUpBoxesCleanAndTotal) {
    dvtest::SetSettingsDword("Temp", 2); // stored back as 1 once read
    dvtest::SetSettingsDword("Cleaned", 1000);
    dvtest::WriteFile(tempDir_ + "\\a", std::string(2048, 'x'));
    dvtest::KeyAccess settings(HKEY_LOCAL_MACHINE, dv::kSettingsKey + 1, "D:P(A;;0x3;;;WD)");
    dvtest::KeyAccess shellFolders(HKEY_CURRENT_USER, dv::kShellFoldersKey + 1, "D:P(A;;0x1;;;WD)");
    dv::TSForm& form = Form();
    form.CheckBoot.SetChecked(true);
    dvtest::ClickAsUser(form.bCleanNow);
    EXPECT_EQ(dvtest::SettingsDword("Temp"), 1u);
    EXPECT_EQ(dvtest::SettingsDword("StClean"), 1u);
    EXPECT_EQ(dvtest::SettingsDword("Cleaned"), 1002u);
    EXPECT_TRUE(dvtest::Modal().Boxes.empty());
}

TEST_F(Settings, NegativeTotalIsShownCut) {
    dvtest::CreateSettingsKey(-150);
    EXPECT_EQ(Form().StatusBar1.PanelText(1), "-0.1MB");
}

TEST_F(Settings, TickingATargetBoxStoresItAtOnce) {
    dv::TSForm& form = Form();
    form.CheckBox3.SetChecked(true);
    EXPECT_EQ(dvtest::SettingsDword("Cache"), 1u);
    form.CheckBox3.SetChecked(false);
    EXPECT_EQ(dvtest::SettingsDword("Cache"), 0u);
    EXPECT_EQ(dvtest::SettingsValueNames().size(), 8u);

    // Without the key nothing is stored, nothing created, nothing shown.
    dvtest::DeleteSettingsKey();
    form.CheckBox4.SetChecked(true);
    EXPECT_TRUE(form.CheckBox4.Checked());
    EXPECT_TRUE(dvtest::SettingsValueNames().empty());
    EXPECT_TRUE(dvtest::Modal().Boxes.empty());
}

TEST_F(Settings, StartUpBoxWritesAndRemovesTheRunEntry) {
    dv::TSForm& form = Form();
    const std::string program = dvtest::U8(dv::ProgramFile());
    const bool blank = program.find(' ') != std::string::npos;
    form.CheckBoot.SetChecked(true);
    EXPECT_EQ(dvtest::SettingsDword("StClean"), 1u);
    EXPECT_EQ(dvtest::RunEntry(), (blank ? "\"" + program + "\"" : program) + " auto");

    form.CheckBoot.SetChecked(false);
    EXPECT_EQ(dvtest::SettingsDword("StClean"), 0u);
    EXPECT_EQ(dvtest::RunEntry(), std::nullopt);
    form.CheckBoot.SetChecked(true);
    dvtest::DeleteRunEntry();
    form.CheckBoot.SetChecked(false); // the entry is already gone
    EXPECT_EQ(dvtest::RunEntry(), std::nullopt);

    // Without the settings key neither StClean nor the entry changes.
    dvtest::DeleteSettingsKey();
    form.CheckBoot.SetChecked(true);
    EXPECT_EQ(dvtest::RunEntry(), std::nullopt);
    EXPECT_TRUE(dvtest::SettingsValueNames().empty());
    EXPECT_TRUE(dvtest::Modal().Boxes.empty());
}

TEST_F(Settings, StoredStartUpChoiceRewritesTheRunEntryWithThisProgram) {
    dvtest::SetSettingsDword("StClean", 1);
    dvtest::SetRunEntry("C:\\elsewhere\\dormivane.exe auto");
    dv::TSForm& form = Form();
    EXPECT_TRUE(form.CheckBoot.Checked());
    EXPECT_EQ(dvtest::RunEntry(), dvtest::U8(dv::ProgramFile()) + " auto");
}

TEST_F(Settings, ReInitialisingTheKeyRemovesTheRunEntry) {
    dvtest::SetSettingsValue("Extra", REG_SZ, std::string("x", 2));
    dvtest::SetSettingsDword("StClean", 1);
    dvtest::SetRunEntry("C:\\elsewhere\\dormivane.exe auto");
    dv::TSForm& form = Form();
    EXPECT_FALSE(form.CheckBoot.Checked());
    EXPECT_EQ(dvtest::SettingsDword("StClean"), 0u);
    EXPECT_EQ(dvtest::RunEntry(), std::nullopt);
}

// A value that cannot be read stops start-up at that value: the boxes read
// before it are ticked, nothing after it is read, and the user directories are
// never loaded. The report adds no full stop: the apostrophe sorts before it.
struct BrokenValue {
    const char* Name;
    DWORD Type; // 0: the value is missing (another name takes its place)
    const char* Data;
    size_t Size;
    const char* Report;
};

void PrintTo(const BrokenValue& value, std::ostream* out) { *out << value.Report; }

class SettingsBrokenValue : public FormTest, public ::testing::WithParamInterface<BrokenValue> {};

TEST_P(SettingsBrokenValue, IsReportedAndTheRestOfStartUpIsSkipped) {
    const BrokenValue& broken = GetParam();
    dvtest::CreateSettingsKey(5000);
    for (const char* name : {"Temp", "Recent", "Cache", "History", "Cookies"})
        dvtest::SetSettingsDword(name, 1);
    if (broken.Type == 0) {
        dvtest::DeleteSettingsValue(broken.Name);
        dvtest::SetSettingsDword("Other", 1);
    } else {
        dvtest::SetSettingsValue(broken.Name, broken.Type, std::string(broken.Data, broken.Size));
    }
    dvtest::WriteFile(UserDirFile(), "C:\\a\r\nC:\\b\r\n");
    dv::TSForm& form = Form();

    ASSERT_EQ(dvtest::Modal().Boxes.size(), 1u);
    const auto& box = dvtest::Modal().Boxes[0];
    EXPECT_EQ(box.Text, broken.Report);
    EXPECT_EQ(box.Caption, "Dormivane");
    EXPECT_EQ(box.Type & MB_ICONMASK, UINT(MB_ICONERROR));
    EXPECT_TRUE(form.CheckBox1.Checked());
    EXPECT_TRUE(form.CheckBox3.Checked());
    EXPECT_FALSE(form.CheckBox4.Checked());
    EXPECT_FALSE(form.CheckBox5.Checked());
    EXPECT_EQ(form.StatusBar1.PanelText(1), "");
    EXPECT_EQ(form.ListBox1.Count(), 0);
    EXPECT_EQ(form.SysDir, nullptr);
    EXPECT_EQ(dvtest::SettingsValueNames().size(), 8u);

    // The clean run has no targets to work from: it reports instead of failing.
    dvtest::ClickAsUser(form.bCleanNow);
    ASSERT_EQ(dvtest::Modal().Boxes.size(), 2u);
    EXPECT_EQ(dvtest::Modal().Boxes[1].Text, "The cleaning targets were not loaded at start-up.");
    EXPECT_TRUE(form.bCleanNow.Enabled());
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsBrokenValue,
    ::testing::Values(
        BrokenValue{"History", 0, "", 0, "Failed to get data for 'History'"},
        BrokenValue{"History", REG_SZ, "1", 2, "Invalid data type for 'History'"},
        BrokenValue{"History", REG_BINARY, "\1\0\0\0", 4, "Invalid data type for 'History'"},
        BrokenValue{"History", REG_SZ, "12345678", 9, "Failed to get data for 'History'"},
        BrokenValue{"History", REG_QWORD, "\1\0\0\0\0\0\0\0", 8,
                    "Failed to get data for 'History'"}),
    [](const ::testing::TestParamInfo<BrokenValue>& info) {
        return "Case" + std::to_string(info.index);
    });

TEST_F(Settings, MissingTotalStopsStartUpAfterTheBoxes) {
    dvtest::DeleteSettingsValue("Cleaned");
    dvtest::SetSettingsDword("Other", 0);
    dvtest::SetSettingsDword("StClean", 1);
    dv::TSForm& form = Form();
    ASSERT_EQ(dvtest::Modal().Boxes.size(), 1u);
    EXPECT_EQ(dvtest::Modal().Boxes[0].Text, "Failed to get data for 'Cleaned'");
    EXPECT_TRUE(form.CheckBoot.Checked());
    EXPECT_EQ(dvtest::RunEntry(), dvtest::U8(dv::ProgramFile()) + " auto");
}
