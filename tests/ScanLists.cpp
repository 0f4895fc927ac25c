// The scanner's lists: the file-type patterns with "DVext.ini" and the "New
// type" dialog, and the fixed drives.
#include "TestSupport.h"

#include "app/Errors.h"
#include "app/Modal.h"
#include "scan/Unit1.h"

#include <algorithm>
#include <memory>

using dvtest::FormTest;
using dvtest::Modal;

namespace {

// clang-format off
const std::vector<std::string> kDefaults = {
    "*.BAK", "*.TMP", "*.OLD", "*.~*", "~*.*", "*.$$$", "*.---", "*.GID", "*.FTG", "*.FTS",
    "*.FND", "*.CHK", "*.DMP", "*.NCH", "*.DA0", "*.$DB", "*.DB$", "FILE_ID.DIZ", "ANTI-VIR.DAT",
};
// clang-format on

std::string ListFile() { return dvtest::ProgramDirectory() + "DVext.ini"; }

std::string AsFile(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    return text;
}

std::vector<bool> Ticks(const dv::ui::TCheckListBox& list) {
    std::vector<bool> ticks;
    for (int i = 0; i < list.Count(); ++i)
        ticks.push_back(list.Checked(i));
    return ticks;
}

dv::TAddExt& DialogOf(HWND dialog) {
    auto* addExt = dynamic_cast<dv::TAddExt*>(dv::ui::TControl::FromHandle(dialog));
    EXPECT_NE(addExt, nullptr);
    return *addExt;
}

int ModalResultOf(HWND dialog) {
    return int(reinterpret_cast<INT_PTR>(GetPropA(dialog, "DvModalResult")));
}

// Answers the dialog as a user does: types the text (UTF-8; unless null) and presses "Ok".
void AnswerWith(const char* typed) {
    Modal().ModalAnswer = [typed](HWND dialog) {
        dv::TAddExt& addExt = DialogOf(dialog);
        if (typed)
            addExt.Edit1.SetCaption(dvtest::W(typed));
        addExt.Button1Click();
        EXPECT_FALSE(IsWindowVisible(dialog));
        return ModalResultOf(dialog);
    };
}

class PatternList : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        addExt_ = std::make_unique<dv::TAddExt>();
    }
    void TearDown() override {
        addExt_.reset();
        FormTest::TearDown();
    }
    std::unique_ptr<dv::TAddExt> addExt_;
};

TEST_F(PatternList, WithoutAListFileTheDefaultsStandAndAllGetTicked) {
    dv::TSForm& form = Form();
    EXPECT_EQ(form.cExt.Items(), kDefaults);
    EXPECT_EQ(Ticks(form.cExt), std::vector<bool>(kDefaults.size(), false));
    form.TabScanInit();
    EXPECT_EQ(Ticks(form.cExt), std::vector<bool>(kDefaults.size(), true));
}

TEST_F(PatternList, TheListFileReplacesTheDefaults) {
    dvtest::WriteFile(ListFile(), "*.TMP\r\n*.OLD\r\n");
    dv::TSForm& form = Form();
    EXPECT_EQ(form.cExt.Items(), (std::vector<std::string>{"*.TMP", "*.OLD"}));
    form.TabScanInit();
    EXPECT_EQ(Ticks(form.cExt), (std::vector<bool>{true, true}));
}

TEST_F(PatternList, EveryKindOfLineEndEndsALine) {
    dvtest::WriteFile(ListFile(), std::string("lf\ncr\rcrlf\r\n\r\n *.X \r\nlast"));
    EXPECT_EQ(Form().cExt.Items(),
              (std::vector<std::string>{"lf", "cr", "crlf", "", " *.X ", "last"}));

    dvtest::WriteFile(ListFile(), std::string("a\r\nb\0c\r\n", 8));
    EXPECT_EQ(CreateForm().cExt.Items(), (std::vector<std::string>{"a", "b"}));
}

TEST_F(PatternList, AnEmptyListFileGivesAnEmptyList) {
    dvtest::WriteFile(ListFile(), "");
    dv::TSForm& form = Form();
    EXPECT_EQ(form.cExt.Count(), 0);
    form.TabScanInit();
    form.selectClick();
    form.deselectClick();
    EXPECT_EQ(form.cExt.Count(), 0);
    // The check for a pattern comes before any search.
    form.cDisks.Clear();
    form.cDisks.Add("S:");
    form.cDisks.SetChecked(0, true);
    form.bScanClick();
    EXPECT_EQ(form.Label9.Caption(), "No file type selected!");
}

TEST_F(PatternList, AListFileThatCannotBeReadKeepsTheDefaults) {
    dvtest::WriteFile(ListFile(), "*.ONLY\r\n");
    HANDLE locked = CreateFileA(ListFile().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    dv::TSForm& form = Form();
    CloseHandle(locked);
    ASSERT_EQ(Modal().Boxes.size(), 1u);
    EXPECT_EQ(Modal().Boxes[0].Text, "Cannot open file " + ListFile() + ".");
    EXPECT_EQ(form.cExt.Items(), kDefaults);
}

TEST_F(PatternList, AddingAPatternAppendsItUntickedAndSavesBesideTheProgram) {
    dv::TSForm& form = Form();
    form.TabScanInit();
    ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str())); // as after a clean run
    AnswerWith("*.PIF");
    form.AddClick();
    std::vector<std::string> expected = kDefaults;
    expected.push_back("*.PIF");
    EXPECT_EQ(form.cExt.Items(), expected);
    EXPECT_FALSE(form.cExt.Checked(19));
    EXPECT_TRUE(form.cExt.Checked(18));
    EXPECT_EQ(dvtest::ReadFile(ListFile()), AsFile(expected));
    EXPECT_FALSE(dvtest::PathExists(root_ + "\\DVext.ini"));

    // The box keeps the text: "Ok" at once adds the same pattern again.
    AnswerWith(nullptr);
    form.AddClick();
    expected.push_back("*.PIF");
    EXPECT_EQ(dvtest::ReadFile(ListFile()), AsFile(expected));

    EXPECT_EQ(CreateForm().cExt.Items(), expected); // the next start reads it
}

TEST_F(PatternList, OkWithAnEmptyBoxAddsNothing) {
    dv::TSForm& form = Form();
    int result = 0;
    Modal().ModalAnswer = [&result](HWND dialog) {
        DialogOf(dialog).Button1Click();
        return result = ModalResultOf(dialog);
    };
    form.AddClick();
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(form.cExt.Items(), kDefaults);
    EXPECT_FALSE(dvtest::PathExists(ListFile()));

    AnswerWith(" "); // a blank is text
    form.AddClick();
    EXPECT_EQ(form.cExt.Item(19), " ");

    // "DVext.ini" would give "Ł" back as "?", a wildcard: refused with the
    // reason, as such a folder is; "é" is in the code page.
    AnswerWith("*.Łx");
    form.AddClick();
    ASSERT_EQ(Modal().Boxes.size(), 1u);
    EXPECT_EQ(Modal().Boxes[0].Text.rfind("This file type was not added", 0), 0u);
    AnswerWith("*.é");
    form.AddClick();
    EXPECT_EQ(form.cExt.Items().back(), "*.\xE9");
    EXPECT_EQ(form.cExt.Count(), 21);
}

TEST_F(PatternList, RemovingPatterns) {
    dv::TSForm& form = Form();
    form.RemoveClick(); // nothing selected
    EXPECT_EQ(form.cExt.Count(), 19);
    EXPECT_FALSE(dvtest::PathExists(ListFile()));

    form.TabScanInit();
    form.cExt.SetChecked(2, false);
    ASSERT_TRUE(SetCurrentDirectoryA(root_.c_str()));
    form.cExt.SetItemIndex(1);
    form.RemoveClick();
    std::vector<std::string> expected = kDefaults;
    expected.erase(expected.begin() + 1);
    EXPECT_EQ(form.cExt.Items(), expected);
    EXPECT_FALSE(form.cExt.Checked(1)); // "*.OLD" moved up with its tick
    EXPECT_EQ(dvtest::ReadFile(ListFile()), AsFile(expected));

    while (form.cExt.Count() > 0) {
        form.cExt.SetItemIndex(0);
        form.RemoveClick();
    }
    EXPECT_TRUE(dvtest::PathExists(ListFile()));
    EXPECT_EQ(dvtest::ReadFile(ListFile()), "");
    EXPECT_EQ(CreateForm().cExt.Count(), 0);
}

TEST_F(PatternList, ASaveThatFailsKeepsTheChangeAndTheOldFile) {
    dvtest::WriteFile(ListFile(), "*.A\r\n", FILE_ATTRIBUTE_READONLY);
    dv::TSForm& form = Form();
    AnswerWith("*.B");
    EXPECT_THROW(form.AddClick(), dv::EFCreateError);
    EXPECT_EQ(form.cExt.Items(), (std::vector<std::string>{"*.A", "*.B"}));
    EXPECT_EQ(dvtest::ReadFile(ListFile()), "*.A\r\n");
}

TEST_F(PatternList, ClickAndContextMenuCommands) {
    dv::TSForm& form = Form();
    form.StatusBar1.SetPanelText(0, "before");
    form.cExtClick(); // nothing selected
    EXPECT_EQ(form.StatusBar1.PanelText(0), "before");
    form.cExt.SetItemIndex(3);
    form.cExtClick();
    EXPECT_EQ(form.StatusBar1.PanelText(0), "*.~*");

    form.cExt.SetChecked(4, true);
    form.selectClick();
    EXPECT_EQ(Ticks(form.cExt), std::vector<bool>(19, true));
    form.deselectClick();
    EXPECT_EQ(Ticks(form.cExt), std::vector<bool>(19, false));
}

// ---- the dialog ----

bool HasStyle(HWND hwnd, DWORD style) { return (GetWindowLongA(hwnd, GWL_STYLE) & style) != 0; }

TEST_F(PatternList, TheDialogIsABorderlessBoxInTheMiddleOfTheDesktop) {
    dv::TAddExt& dialog = *addExt_;
    HWND hwnd = dialog.Handle();
    EXPECT_EQ(dv::AddExt, &dialog);
    EXPECT_EQ(dvtest::WindowText(hwnd), "New type");
    EXPECT_FALSE(IsWindowVisible(hwnd));
    EXPECT_TRUE(HasStyle(hwnd, WS_POPUP));
    EXPECT_FALSE(HasStyle(hwnd, WS_CAPTION | WS_BORDER | WS_DLGFRAME | WS_THICKFRAME | WS_SYSMENU));
    RECT client, frame;
    GetClientRect(hwnd, &client);
    GetWindowRect(hwnd, &frame);
    EXPECT_EQ(client.right, 144);
    EXPECT_EQ(client.bottom, 65);
    EXPECT_EQ(frame.right - frame.left, 144);
    EXPECT_EQ(frame.left, (GetSystemMetrics(SM_CXSCREEN) - 144) / 2);
    EXPECT_EQ(frame.top, (GetSystemMetrics(SM_CYSCREEN) - 65) / 2);

    struct Part {
        const dv::ui::TControl& control;
        dv::ui::TBounds bounds;
        const char* caption;
    };
    for (const Part& part :
         {Part{dialog.Panel1, {0, 0, 144, 65}, ""},
          Part{dialog.Label1, {2, 2, 140, 13}, "Enter new file type (eg. *.PIF):"},
          Part{dialog.Edit1, {2, 18, 140, 21}, ""}, Part{dialog.Button1, {2, 43, 140, 20}, "Ok"}}) {
        SCOPED_TRACE(part.caption);
        dv::ui::TBounds b = part.control.Bounds();
        EXPECT_EQ(b.Left, part.bounds.Left);
        EXPECT_EQ(b.Top, part.bounds.Top);
        EXPECT_EQ(b.Width, part.bounds.Width);
        EXPECT_EQ(b.Height, part.bounds.Height);
        EXPECT_EQ(part.control.Caption(), part.caption);
    }
    EXPECT_EQ(GetWindowLongA(dialog.Button1.Handle(), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST_F(PatternList, EnterInTheDialogPressesOkAndClosingItCancels) {
    dv::TSForm& form = Form();
    dv::Modal().ShowModal = dv::PlatformModal().ShowModal; // the real modal loop
    dv::TAddExt& dialog = *addExt_;

    dialog.Edit1.SetText("*.XYZ");
    PostMessageA(dialog.Edit1.Handle(), WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(dialog.Handle(), WM_CLOSE, 0, 0); // ends the loop should Enter not
    form.AddClick();
    EXPECT_EQ(form.cExt.Count(), 20);
    EXPECT_EQ(form.cExt.Item(19), "*.XYZ");
    EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
    EXPECT_TRUE(IsWindowEnabled(form.Handle()));
    dvtest::PumpMessages(); // the spare close request

    dvtest::ResetModal();
    Modal().ModalAnswer = [](HWND hwnd) {
        SendMessageA(hwnd, WM_CLOSE, 0, 0);
        EXPECT_TRUE(IsWindow(hwnd));
        return ModalResultOf(hwnd);
    };
    form.AddClick();
    EXPECT_EQ(form.cExt.Count(), 20);
}

// ---- the drive list ----

TEST_F(PatternList, TheDriveListHoldsTheFixedDrivesFromAToPTicked) {
    dv::TSForm& form = Form();
    form.TabScanInit();
    std::vector<std::string> drives = form.cDisks.Items();
    EXPECT_NE(std::find(drives.begin(), drives.end(), "C:"), drives.end());
    EXPECT_EQ(std::find(drives.begin(), drives.end(), "Z:"), drives.end());
    EXPECT_TRUE(std::is_sorted(drives.begin(), drives.end()));
    for (const std::string& drive : drives) {
        SCOPED_TRACE(drive);
        ASSERT_EQ(drive.size(), 2u);
        EXPECT_GE(drive[0], 'A');
        EXPECT_LE(drive[0], 'P');
        EXPECT_EQ(drive[1], ':');
        EXPECT_EQ(GetDriveTypeA((drive + "\\").c_str()), UINT(DRIVE_FIXED));
    }
    EXPECT_EQ(Ticks(form.cDisks), std::vector<bool>(drives.size(), true));
}

} // namespace
