// The scan and the removal of found files, on a drive letter of their own that
// leads into the test's scratch folder.
#include "TestSupport.h"

#include "app/Application.h"
#include "app/Errors.h"
#include "app/Strings.h"
#include "scan/Unit1.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <tuple>

using dvtest::FormTest;
using dvtest::PathExists;
using dvtest::U8;
using dvtest::W;

namespace {

const char kDrive[] = "S:";

// ---- host links: a drive letter is a link in the prefix's "dosdevices" ----

bool WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 250 && !done(); ++i)
        Sleep(20);
    return done();
}

std::string DriveLink(const std::string& drive) {
    std::string devices = dvtest::HostPath("C:\\"); // ".../dosdevices/c:/"
    size_t end = devices.rfind("/c:");
    if (end == std::string::npos)
        return {};
    return devices.substr(0, end + 1) + char(tolower(drive[0])) + ":";
}

bool MapDrive(const std::string& drive, const std::string& target) {
    std::string link = DriveLink(drive), hostTarget = dvtest::HostPath(target);
    if (link.empty() || hostTarget.empty())
        return false;
    dvtest::RunHostCommand("/bin/ln -sfn \"" + hostTarget + "\" \"" + link + "\"");
    return WaitUntil([&] {
        return GetDriveTypeA((drive + "\\").c_str()) == DRIVE_FIXED &&
               GetFileAttributesA((drive + "\\").c_str()) != INVALID_FILE_ATTRIBUTES;
    });
}

void UnmapDrive(const std::string& drive) {
    std::string link = DriveLink(drive);
    if (link.empty())
        return;
    dvtest::RunHostCommand("/bin/rm -f \"" + link + "\"");
    WaitUntil([&] { return GetDriveTypeA((drive + "\\").c_str()) == DRIVE_NO_ROOT_DIR; });
}

// ---- watching and steering a scan from inside its message pump ----

std::wstring WideText(HWND hwnd) {
    std::wstring text(size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

// Records every text a control (or a status bar panel) is given, and can act
// on it at that moment.
class TextRecorder {
  public:
    explicit TextRecorder(const dv::ui::TControl& control) : hwnd_(control.Handle()) {
        SetWindowSubclass(hwnd_, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~TextRecorder() { RemoveWindowSubclass(hwnd_, Proc, 1); }

    std::vector<std::string> Texts;
    std::function<void(const std::string&)> OnText;

    long Count(const std::string& text) const {
        return std::count(Texts.begin(), Texts.end(), text);
    }

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
        LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
        if (message == WM_SETTEXT || message == SB_SETTEXTW) {
            auto* self = reinterpret_cast<TextRecorder*>(data);
            // The static control may take its text in either form; read it back instead.
            self->Texts.push_back(message == WM_SETTEXT
                                      ? U8(WideText(hwnd))
                                      : U8(reinterpret_cast<const wchar_t*>(lParam)));
            if (self->OnText)
                self->OnText(self->Texts.back());
        }
        return result;
    }
    HWND hwnd_;
};

// Runs an action from the next message pump, as a queued message would.
class QueuedAction {
  public:
    explicit QueuedAction(std::function<void()> action) : action_(std::move(action)) {
        hwnd_ = CreateWindowExA(0, "Static", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                nullptr);
        SetWindowSubclass(hwnd_, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
        PostMessageA(hwnd_, WM_APP, 0, 0);
    }
    ~QueuedAction() { DestroyWindow(hwnd_); }
    bool Ran = false;

  private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                 DWORD_PTR data) {
        if (message != WM_APP)
            return DefSubclassProc(hwnd, message, wParam, lParam);
        auto* self = reinterpret_cast<QueuedAction*>(data);
        self->Ran = true;
        self->action_();
        return 0;
    }
    std::function<void()> action_;
    HWND hwnd_;
};

// ---- the fixture ----

using Item = std::tuple<std::string, std::string, std::string>; // name, directory, KB

// What ListFiles shows, checked item by item and tick by tick against the
// program's own store.
std::vector<Item> Items(const dv::TSForm& form) {
    std::vector<Item> items;
    EXPECT_EQ(form.ListFiles.Count(), form.FoundFiles.Count());
    for (int i = 0; i < form.ListFiles.Count() && i < form.FoundFiles.Count(); ++i) {
        const dv::FoundFile& stored = form.FoundFiles[i];
        items.emplace_back(U8(form.ListFiles.ItemText(i, 0)), U8(form.ListFiles.ItemText(i, 1)),
                           U8(form.ListFiles.ItemText(i, 2)));
        EXPECT_EQ(std::get<0>(items.back()), U8(stored.Name));
        EXPECT_EQ(std::get<1>(items.back()), U8(form.FoundFiles.Directory(i)));
        EXPECT_EQ(std::get<2>(items.back()), std::to_string(stored.KB));
        EXPECT_EQ(form.ListFiles.Checked(i), stored.Ticked) << "item " << i;
    }
    return items;
}

std::vector<Item> Sorted(std::vector<Item> items) {
    std::sort(items.begin(), items.end());
    return items;
}

bool SortedByName(const dv::TSForm& form) {
    for (int i = 1; i < form.ListFiles.Count(); ++i)
        if (lstrcmpW(form.ListFiles.ItemText(i - 1, 0).c_str(),
                     form.ListFiles.ItemText(i, 0).c_str()) > 0)
            return false;
    return true;
}

class ScanTest : public FormTest {
  protected:
    void SetUp() override {
        FormTest::SetUp();
        drive_ = root_ + "\\drive";
        dvtest::MakeDir(drive_);
        ASSERT_TRUE(MapDrive(kDrive, drive_)) << "cannot map " << kDrive << " to " << drive_;
    }

    void TearDown() override {
        for (const std::string& link : links_) {
            dvtest::RemoveDirectoryLink(link);
            WaitUntil([&] { return !PathExists(link); });
        }
        UnmapDrive(kDrive);
        FormTest::TearDown();
    }

    // The form with only the test's drive and the given patterns, all ticked.
    dv::TSForm& ScanForm(const std::vector<std::string>& patterns) {
        dv::TSForm& form = Form();
        form.cDisks.Clear();
        form.cDisks.Add(kDrive);
        form.cDisks.SetChecked(0, true);
        SetPatterns(patterns);
        return form;
    }

    void SetPatterns(const std::vector<std::string>& patterns) {
        dv::TSForm& form = Form();
        form.cExt.Clear();
        for (const std::string& pattern : patterns) {
            form.cExt.Add(pattern);
            form.cExt.SetChecked(form.cExt.Count() - 1, true);
        }
    }

    // A file of the given size below the drive (relative path), directories made.
    std::string File(const std::string& relative, size_t bytes, DWORD attributes = 0) {
        std::string path = drive_ + "\\" + relative;
        dvtest::MakeDir(path.substr(0, path.rfind('\\')));
        dvtest::WriteFile(path, std::string(bytes, 'x'), attributes);
        return path;
    }

    bool Link(const std::string& link, const std::string& target) {
        links_.push_back(link);
        return dvtest::MakeDirectoryLink(link, target);
    }

    void ExpectButtonsEnabled(bool enabled) {
        dv::TSForm& form = Form();
        EXPECT_EQ(form.bScan.Enabled(), enabled);
        EXPECT_EQ(form.bSelAll.Enabled(), enabled);
        EXPECT_EQ(form.bDelete.Enabled(), enabled);
        EXPECT_EQ(form.bClearAll.Enabled(), enabled);
    }

    int64_t Cleaned() { return int32_t(dvtest::SettingsDword("Cleaned").value_or(0xDEAD)); }

    std::string drive_;
    std::vector<std::string> links_;
};

std::string At(const std::string& relative) { return std::string(kDrive) + "\\" + relative; }

// ---- the scan ----

TEST_F(ScanTest, ListsEachMatchBelowTheRootOnceWithItsSize) {
    File("ROOT.TMP", 5000);         // in the root: never searched
    File("TEMP\\TEST.TMP", 2048);   // 2
    File("DATA\\TEST.TMP", 1023);   // 0: same name, another directory
    File("TEMP\\~A.~B", 1500);      // 1: matched by two patterns, counted once
    File("X.BAK\\inner.old", 3000); // 2: a directory that matches is walked, not listed
    File("HID\\deep\\sys.tmp", 5000, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM); // 4
    SetFileAttributesA((drive_ + "\\HID").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    File("DATA\\keep.txt", 100);
    File("DATA\\ro.chk", 4096, FILE_ATTRIBUTE_READONLY); // 4

    dv::TSForm& form = ScanForm({"*.TMP", "*.OLD", "*.~*", "~*.*", "*.BAK", "*.CHK"});
    form.bScanClick();

    EXPECT_EQ(Sorted(Items(form)), Sorted({
                                       {"TEST.TMP", At("TEMP"), "2"},
                                       {"TEST.TMP", At("DATA"), "0"},
                                       {"~A.~B", At("TEMP"), "1"},
                                       {"inner.old", At("X.BAK"), "2"},
                                       {"sys.tmp", At("HID\\deep"), "4"},
                                       {"ro.chk", At("DATA"), "4"},
                                   }));
    EXPECT_TRUE(SortedByName(form));
    EXPECT_EQ(form.FoundKB, 13);
    EXPECT_EQ(form.Label9.Caption(), "Found: 13Kb in 6 files");
    EXPECT_TRUE(form.Label9.Visible());
    EXPECT_EQ(form.StatusBar1.PanelText(0), "6 files found");
    EXPECT_EQ(form.ListFiles.Hint, L"6 files found");
    EXPECT_TRUE(form.ListTmp.empty());
    for (int i = 0; i < form.ListFiles.Count(); ++i)
        EXPECT_FALSE(form.ListFiles.Checked(i));
    ExpectButtonsEnabled(true);
}

// ASCII and accented names (UTF-8 here) stand where lstrcmpA puts their ANSI
// spelling; equal names stand in the order they were found (a directory is
// searched before the directories below it).
TEST_F(ScanTest, ItemsStandInTheOrderOfLstrcmpA) {
    const std::vector<std::string> names = {
        "b.tmp", "B2.tmp", "a.tmp",  "_c.tmp", "A-z.tmp", "ab.tmp", "Ab.tmp", "10.tmp",
        "9.tmp", "é.tmp",  "Éb.tmp", "eb.tmp", "äb.tmp",  "zz.tmp", "Öl.tmp", "ol.tmp"};
    for (size_t i = 0; i < names.size(); ++i)
        File((i % 2 ? "ONE\\" : "TWO\\") + names[i], 10);
    for (const char* dir : {"P", "P\\C", "P\\C\\D"})
        File(std::string(dir) + "\\same.tmp", 10);
    dv::TSForm& form = ScanForm({"*.tmp"});
    form.bScanClick();

    std::vector<std::string> expected = names;
    expected.push_back("same.tmp");
    std::stable_sort(
        expected.begin(), expected.end(), [](const std::string& a, const std::string& b) {
            return lstrcmpA(dv::WideToAnsi(W(a)).c_str(), dv::WideToAnsi(W(b)).c_str()) < 0;
        });
    std::vector<std::string> byBytes = names;
    std::sort(byBytes.begin(), byBytes.end());
    ASSERT_NE(expected, byBytes); // the names tell the two orders apart
    std::vector<std::string> shown, sameIn;
    for (const Item& item : Items(form)) {
        if (shown.empty() || shown.back() != std::get<0>(item))
            shown.push_back(std::get<0>(item));
        if (std::get<0>(item) == "same.tmp")
            sameIn.push_back(std::get<1>(item));
    }
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(sameIn, (std::vector<std::string>{At("P"), At("P\\C"), At("P\\C\\D")}));
}

TEST(FoundFiles, KeepsEqualNamesInTheOrderAddedAndEachFileOnce) {
    dv::TFoundFiles files;
    EXPECT_EQ(files.Insert(L"x", L"C:\\one", 1), 0);
    EXPECT_EQ(files.Insert(L"y", L"C:\\one", 1), 1);
    EXPECT_EQ(files.Insert(L"x", L"C:\\two", 2), 1);
    EXPECT_EQ(files.Insert(L"x", L"C:\\one", 3), -1); // listed already
    EXPECT_EQ(files.Insert(L"X", L"C:\\one", 4), 2);  // another name: case counts
    EXPECT_EQ(files.Insert(L"x", L"C:\\zero", 5), 2);
    std::vector<std::wstring> paths;
    for (int i = 0; i < files.Count(); ++i)
        paths.push_back(files.Path(i));
    EXPECT_EQ(paths, (std::vector<std::wstring>{L"C:\\one\\x", L"C:\\two\\x", L"C:\\zero\\x",
                                                L"C:\\one\\X", L"C:\\one\\y"}));
}

TEST_F(ScanTest, ReportsProgressAndKeepsItsButtonsDisabledWhileItRuns) {
    File("A\\one.tmp", 10);
    File("A\\B\\two.tmp", 10);
    File("C\\three.old", 10);
    dv::TSForm& form = ScanForm({"*.TMP", "*.OLD"});
    form.cExt.Add("*.NONE"); // unticked: not searched
    std::vector<bool> enabledDuringScan;
    TextRecorder label(form.Label9);
    label.OnText = [&](const std::string& text) {
        if (text == "Searching...")
            for (auto* button : {&form.bScan, &form.bSelAll, &form.bDelete, &form.bClearAll})
                enabledDuringScan.push_back(button->Enabled());
    };
    form.bScanClick();

    // One "Scanning: <n>" per listing (the root, A, A\B, C), in the platform's
    // order, so the count only grows; then two texts per ticked pattern.
    ASSERT_EQ(label.Texts.size(), 9u);
    EXPECT_EQ(label.Texts[0], "Scanning...");
    const std::vector<std::string> walk(label.Texts.begin() + 1, label.Texts.begin() + 5);
    EXPECT_TRUE(std::is_sorted(walk.begin(), walk.end()));
    EXPECT_EQ(walk.back(), "Scanning: 3");
    EXPECT_EQ(std::vector<std::string>(label.Texts.begin() + 5, label.Texts.end()),
              (std::vector<std::string>{"Searching...", "Found: 0Kb in 2 files", "Searching...",
                                        "Found: 0Kb in 3 files"}));
    EXPECT_EQ(enabledDuringScan, std::vector<bool>(8, false));
    ExpectButtonsEnabled(true);
}

TEST_F(ScanTest, TicksChangedDuringThePatternPassCountForEntriesNotYetReached) {
    File("D\\a.one", 10);
    File("D\\b.two", 10);
    File("D\\c.three", 10);
    dv::TSForm& form = ScanForm({"*.one", "*.two", "*.three"});
    form.cExt.SetChecked(1, false);
    TextRecorder label(form.Label9);
    bool changed = false;
    label.OnText = [&](const std::string& text) {
        if (text == "Searching..." && !changed) {
            changed = true;
            form.cExt.SetChecked(1, true);  // not reached yet: searched
            form.cExt.SetChecked(2, false); // not reached yet: left out
        }
    };
    form.bScanClick();
    EXPECT_EQ(Sorted(Items(form)), Sorted({{"a.one", At("D"), "0"}, {"b.two", At("D"), "0"}}));
}

TEST_F(ScanTest, RemovingAPatternDuringThePassKeepsTheOthersInPlace) {
    File("D\\a.one", 10);
    File("D\\b.two", 10);
    File("D\\c.three", 10);
    dv::TSForm& form = ScanForm({"*.one", "*.two", "*.three"});
    dv::TAddExt addExt;
    TextRecorder label(form.Label9);
    bool removed = false;
    label.OnText = [&](const std::string& text) {
        if (text == "Searching..." && !removed) {
            removed = true;
            form.cExt.SetItemIndex(0); // the pattern in hand
            form.RemoveClick();
            // Added during the pass: after the entries it counted, so not searched.
            dvtest::Modal().ModalAnswer = [&](HWND) {
                addExt.Edit1.SetText("*.*");
                return IDOK;
            };
            form.AddClick();
        }
    };
    form.bScanClick();
    EXPECT_EQ(
        Sorted(Items(form)),
        Sorted({{"a.one", At("D"), "0"}, {"b.two", At("D"), "0"}, {"c.three", At("D"), "0"}}));
    EXPECT_EQ(label.Count("Searching..."), 3);
    EXPECT_EQ(form.cExt.Items(), (std::vector<std::string>{"*.two", "*.three", "*.*"}));
}

TEST_F(ScanTest, NoDriveIsReportedBeforeNoPattern) {
    File("D\\a.tmp", 10);
    dv::TSForm& form = ScanForm({"*.tmp"});
    form.bScanClick();
    ASSERT_EQ(form.ListFiles.Count(), 1);
    form.StatusBar1.SetPanelText(0, "before");

    form.cDisks.SetChecked(0, false);
    form.cExt.SetChecked(0, false);
    form.bScanClick();
    EXPECT_EQ(form.Label9.Caption(), "No drive selected!");
    EXPECT_TRUE(form.Label9.Visible());
    EXPECT_EQ(form.ListFiles.Count(), 0);

    form.cDisks.SetChecked(0, true);
    form.bScanClick();
    EXPECT_EQ(form.Label9.Caption(), "No file type selected!");
    EXPECT_EQ(form.StatusBar1.PanelText(0), "before");
    EXPECT_EQ(form.FoundKB, 0);
    form.FoundKB = 77;
    form.bScanClick();
    EXPECT_EQ(form.FoundKB, 77); // a scan stopped by its checks leaves the count alone
    ExpectButtonsEnabled(true);

    form.cDisks.Clear();
    form.bScanClick();
    EXPECT_EQ(form.Label9.Caption(), "No drive selected!");
}

TEST_F(ScanTest, ASecondScanReplacesTheFirst) {
    File("D\\a.tmp", 4096);
    File("D\\b.old", 2048);
    dv::TSForm& form = ScanForm({"*.tmp", "*.old"});
    form.bScanClick();
    ASSERT_EQ(form.ListFiles.Count(), 2);
    EXPECT_EQ(form.FoundKB, 6);

    DeleteFileA((drive_ + "\\D\\a.tmp").c_str());
    form.bScanClick();
    EXPECT_EQ(Items(form), (std::vector<Item>{{"b.old", At("D"), "2"}}));
    EXPECT_EQ(form.FoundKB, 2);
    EXPECT_EQ(form.Label9.Caption(), "Found: 2Kb in 1 files");
    EXPECT_EQ(form.StatusBar1.PanelText(0), "1 files found");
}

TEST_F(ScanTest, DirectoryLinksAreNotFollowed) {
    File("A\\B\\f.tmp", 10);
    dvtest::MakeDir(root_ + "\\outside");
    dvtest::WriteFile(root_ + "\\outside\\z.tmp", "z");
    ASSERT_TRUE(Link(drive_ + "\\A\\B\\loop", drive_ + "\\A")) << "no directory links here";
    ASSERT_TRUE(Link(drive_ + "\\A\\out", root_ + "\\outside"));
    dv::TSForm& form = ScanForm({"*.tmp"});
    form.bScanClick();
    EXPECT_EQ(Items(form), (std::vector<Item>{{"f.tmp", At("A\\B"), "0"}}));
    ExpectButtonsEnabled(true);
}

TEST_F(ScanTest, PatternsThatNameAPathMatchNothing) {
    File("D\\E\\a.tmp", 10);
    File("D\\b.tmp", 10);
    dv::TSForm& form = ScanForm({"E\\*.tmp", "..\\*.tmp", "E/*.tmp", "S:*.tmp", ""});
    form.FoundKB = 5;
    form.bScanClick(); // finds nothing and ends as usual
    EXPECT_EQ(form.ListFiles.Count(), 0);
    EXPECT_EQ(form.FoundKB, 0);
    EXPECT_EQ(form.Label9.Caption(), "Found: 0Kb in 0 files");
    EXPECT_EQ(form.StatusBar1.PanelText(0), "0 files found");

    SetPatterns({"*"});
    form.bScanClick();
    EXPECT_EQ(Sorted(Items(form)), Sorted({{"a.tmp", At("D\\E"), "0"}, {"b.tmp", At("D"), "0"}}));
}

TEST_F(ScanTest, SizesUseAllSixtyFourBits) {
    const std::string path = File("D\\huge.tmp", 0);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    LARGE_INTEGER size;
    size.QuadPart = (int64_t(4) << 30) + 2048; // sparse on the host
    bool sized = SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    CloseHandle(file);
    if (!sized)
        GTEST_SKIP() << "the file system cannot hold a file of 4 GiB";
    dv::TSForm& form = ScanForm({"*.tmp"});
    form.bScanClick();
    EXPECT_EQ(Items(form), (std::vector<Item>{{"huge.tmp", At("D"), "4194306"}}));
    EXPECT_EQ(form.FoundKB, 4194306);
}

TEST_F(ScanTest, ARepeatedScanRequestInsideTheScanIsIgnored) {
    File("D\\a.tmp", 10);
    File("E\\b.tmp", 10);
    dv::TSForm& form = ScanForm({"*.tmp"});
    TextRecorder label(form.Label9);
    label.OnText = [&](const std::string& text) {
        if (text == "Searching...") {
            form.bScanClick();
            form.bScan.Click(); // Enter on the default button goes this way
        }
    };
    form.bScanClick();
    EXPECT_EQ(label.Count("Scanning..."), 1);
    EXPECT_EQ(form.ListFiles.Count(), 2);
    ExpectButtonsEnabled(true);
    form.bScanClick(); // and the next one runs again
    EXPECT_EQ(label.Count("Scanning..."), 2);
}

TEST_F(ScanTest, TheFormGoingAwayInsideTheScanEndsIt) {
    for (int i = 0; i < 20; ++i)
        File("D" + std::to_string(i) + "\\a.tmp", 10);
    dv::TSForm& form = ScanForm({"*.tmp"});
    QueuedAction destroy([this] { form_.reset(); });
    form.bScanClick();
    EXPECT_TRUE(destroy.Ran);
    EXPECT_EQ(form_, nullptr);
}

// ---- removing found files ----

class RemovalTest : public ScanTest {
  protected:
    // Scans for the given files (relative paths, sizes) and returns the form.
    dv::TSForm& Found(const std::vector<std::pair<std::string, size_t>>& files,
                      const std::string& pattern = "*.tmp") {
        for (const auto& [name, bytes] : files)
            File(name, bytes);
        dv::TSForm& form = ScanForm({pattern});
        form.bScanClick();
        EXPECT_EQ(form.ListFiles.Count(), int(files.size()));
        return form;
    }

    void Tick(std::initializer_list<int> positions) {
        for (int i : positions)
            Form().ListFiles.SetChecked(i, true);
    }
};

TEST_F(RemovalTest, AdjacentTickedItemsAreBothRemoved) {
    dv::TSForm& form = Found({{"D\\1.tmp", 1024},
                              {"D\\2.tmp", 1500},
                              {"D\\3.tmp", 700},
                              {"D\\4.tmp", 2048},
                              {"D\\5.tmp", 10}});
    dvtest::SetSettingsDword("Cleaned", 100);
    Tick({1, 2});
    TextRecorder status(form.StatusBar1);
    form.bDeleteClick();

    EXPECT_EQ(Items(form),
              (std::vector<Item>{
                  {"1.tmp", At("D"), "1"}, {"4.tmp", At("D"), "2"}, {"5.tmp", At("D"), "0"}}));
    for (int i = 0; i < form.ListFiles.Count(); ++i)
        EXPECT_FALSE(form.ListFiles.Checked(i));
    EXPECT_FALSE(PathExists(drive_ + "\\D\\2.tmp"));
    EXPECT_FALSE(PathExists(drive_ + "\\D\\3.tmp"));
    EXPECT_TRUE(PathExists(drive_ + "\\D\\1.tmp"));
    EXPECT_EQ(form.Label9.Caption(), "Deleted: 1KB"); // 1 + 0
    EXPECT_TRUE(form.Label9.Visible());
    EXPECT_FALSE(form.ProgressBar2.Visible());
    EXPECT_EQ(form.ProgressBar2.Position(), 2);
    EXPECT_EQ(form.ProgressBar2.Max(), 5);
    EXPECT_EQ(form.StatusBar1.PanelText(0), At("D\\3.tmp"));
    EXPECT_EQ(status.Count(At("D\\2.tmp")), 1);
    EXPECT_EQ(Cleaned(), 101);
}

TEST_F(RemovalTest, AFileThatCannotBeDeletedLeavesTheListAndCountsNothing) {
    dv::TSForm& form = Found({{"D\\ro.tmp", 4096}, {"D\\gone.tmp", 8192}, {"D\\ok.tmp", 10}});
    SetFileAttributesA((drive_ + "\\D\\ro.tmp").c_str(), FILE_ATTRIBUTE_READONLY);
    DeleteFileA((drive_ + "\\D\\gone.tmp").c_str()); // deleted by someone else meanwhile
    form.bSelAllClick();
    form.bDeleteClick();
    EXPECT_EQ(form.ListFiles.Count(), 0);
    EXPECT_TRUE(PathExists(drive_ + "\\D\\ro.tmp"));
    EXPECT_EQ(GetFileAttributesA((drive_ + "\\D\\ro.tmp").c_str()) & FILE_ATTRIBUTE_READONLY,
              DWORD(FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(PathExists(drive_ + "\\D\\ok.tmp"));
    EXPECT_EQ(form.Label9.Caption(), "Deleted: 0KB");
    EXPECT_EQ(Cleaned(), 0);
    EXPECT_EQ(form.ProgressBar2.Position(), 3);

    // A file that stayed is found again by the next scan.
    form.bScanClick();
    EXPECT_EQ(Items(form), (std::vector<Item>{{"ro.tmp", At("D"), "4"}}));
}

TEST_F(RemovalTest, NothingTickedStillReportsAndUpdatesTheTotal) {
    dv::TSForm& form = Found({{"D\\a.tmp", 10}, {"D\\b.tmp", 10}});
    dvtest::SetSettingsDword("Cleaned", 12345);
    form.StatusBar1.SetPanelText(0, "before");
    form.StatusBar1.SetPanelText(1, "");
    form.bDeleteClick();
    EXPECT_EQ(form.ListFiles.Count(), 2);
    EXPECT_EQ(form.Label9.Caption(), "Deleted: 0KB");
    EXPECT_EQ(form.StatusBar1.PanelText(0), "before");
    EXPECT_FALSE(form.StatusBar1.PanelText(1).empty()); // the total, shown again
    EXPECT_EQ(form.ProgressBar2.Position(), 0);
    EXPECT_EQ(Cleaned(), 12345);
}

TEST_F(RemovalTest, ManyTickedItemsLeaveTheRestInOrderWithTheirSelection) {
    std::vector<std::pair<std::string, size_t>> files;
    for (int i = 0; i < 60; ++i)
        files.push_back({"D\\f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".tmp",
                         size_t(1024 * (i % 3))});
    dv::TSForm& form = Found(files);
    std::vector<Item> staying;
    int64_t expectedKB = 0;
    for (int i = 0; i < 60; ++i) {
        if (i % 7 == 3) {
            staying.push_back(Items(form)[size_t(i)]);
        } else {
            form.ListFiles.SetChecked(i, true);
            expectedKB += i % 3;
        }
    }
    form.ListFiles.SetSelected(24, true); // f24, which stays
    const std::wstring hint = form.ListFiles.Hint;
    form.bDeleteClick();

    EXPECT_EQ(Items(form), staying);
    EXPECT_EQ(form.Label9.Caption(), "Deleted: " + std::to_string(expectedKB) + "KB");
    EXPECT_EQ(form.ProgressBar2.Position(), 60 - int(staying.size()));
    EXPECT_EQ(form.ListFiles.Hint, hint);
    for (int i = 0; i < form.ListFiles.Count(); ++i) {
        EXPECT_FALSE(form.ListFiles.Checked(i));
        EXPECT_EQ(form.ListFiles.Selected(i), form.ListFiles.ItemText(i, 0) == L"f24.tmp");
    }
    EXPECT_EQ(dvtest::TreeListing(drive_ + "\\D").size(), staying.size());

    // A second run starts with the bar empty.
    form.bSelAllClick();
    form.ListFiles.SetChecked(0, false);
    form.bDeleteClick();
    EXPECT_EQ(form.ProgressBar2.Position(), int(staying.size()) - 1);
    EXPECT_EQ(form.ProgressBar2.Max(), int(staying.size()));
    EXPECT_EQ(form.ListFiles.Count(), 1);
}

TEST_F(RemovalTest, ARegistryErrorEndsTheRunAfterTheFiles) {
    dv::TSForm& form = Found({{"D\\a.tmp", 2048}});
    dvtest::DeleteSettingsValue("Cleaned");
    form.bSelAllClick();
    EXPECT_THROW(form.bDeleteClick(), dv::ERegistryException);
    EXPECT_EQ(form.ListFiles.Count(), 0);
    EXPECT_FALSE(PathExists(drive_ + "\\D\\a.tmp"));
    EXPECT_TRUE(form.ProgressBar2.Visible());
    EXPECT_FALSE(form.Label9.Visible());
}

TEST_F(RemovalTest, TickingAllOrNoneAndTheHintOfTheSelectedItem) {
    dv::TSForm& form = Form();
    form.bSelAllClick(); // empty list: nothing happens
    form.bClearAllClick();

    Found({{"D\\a.tmp", 10}, {"E\\b.tmp", 10}, {"D\\c.tmp", 10}});
    form.ListFiles.SetChecked(1, true);
    form.bSelAllClick();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(form.ListFiles.Checked(i));
    form.bClearAllClick();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(form.ListFiles.Checked(i));

    form.ListFiles.SetSelected(0, true);
    EXPECT_EQ(form.ListFiles.Hint, W(At("D\\a.tmp")));
    form.ListFiles.SetSelected(1, true);
    EXPECT_EQ(form.ListFiles.Hint, W(At("E\\b.tmp")));
}

// Names the ANSI code page cannot spell (two of which it would garble alike)
// and a match deeper than MAX_PATH: each listed once under its real name,
// counted, and removed by "Select all" and "Delete".
TEST_F(RemovalTest, NamesOfEveryScriptAndPathsPastMaxPathAreListedAndRemoved) {
    std::string deep = "DEEP";
    for (int level = 0; deep.size() < 320; ++level)
        deep += level == 2 ? "\\ünï 深い" : "\\" + std::string(60, char('a' + level));
    const std::vector<std::pair<std::string, size_t>> files = {
        {"J\\日本.bak", 2048}, {"J\\中文.bak", 3072}, {"J\\Кирилл.bak", 1024},
        {"J\\😀.bak", 0},       {"J\\café.bak", 1024}, {deep + "\\deep.bak", 4096}};
    dv::TSForm& form = Found(files, "*.bak");
    std::vector<Item> expected;
    for (const auto& [relative, bytes] : files) {
        const size_t slash = relative.rfind('\\');
        expected.emplace_back(relative.substr(slash + 1), At(relative.substr(0, slash)),
                              std::to_string(bytes / 1024));
    }
    EXPECT_EQ(Sorted(Items(form)), Sorted(expected));
    EXPECT_EQ(form.Label9.Caption(), "Found: 11Kb in 6 files");

    form.ListFiles.SetSelected(0, true);
    EXPECT_EQ(form.ListFiles.Hint, form.FoundFiles.Path(0));
    const std::wstring last = form.FoundFiles.Path(form.FoundFiles.Count() - 1);
    form.bSelAllClick();
    form.bDeleteClick();
    EXPECT_EQ(form.Label9.Caption(), "Deleted: 11KB");
    EXPECT_EQ(form.StatusBar1.WidePanelText(0), last);
    for (const auto& file : files)
        EXPECT_FALSE(PathExists(drive_ + "\\" + file.first)) << file.first;
}

// Ticks set by mouse, by the space bar and by a raw LVM_SETITEMSTATE (as
// automation tools send it) reach the store, also in the middle of a scan;
// "Delete" removes exactly those files.
TEST_F(RemovalTest, TicksFromEveryWayReachTheStoreAndTheRemoval) {
    for (const char* name : {"a", "b", "c", "d", "e", "f"})
        File(std::string("D\\") + name + ".tmp", 10);
    File("D\\late.old", 10);
    dv::TSForm& form = ScanForm({"*.tmp", "*.old"});
    HWND list = form.ListFiles.Handle();
    auto setTick = [list](int index, bool ticked) {
        LVITEMW item{};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1);
        SendMessageW(list, LVM_SETITEMSTATE, WPARAM(index), LPARAM(&item));
    };
    TextRecorder label(form.Label9);
    label.OnText = [&](const std::string& text) {
        if (text == "Searching..." && form.FoundFiles.Count() == 6)
            setTick(5, true); // f.tmp, during the scan; late.old comes before it
    };
    form.bScanClick();
    ASSERT_EQ(form.FoundFiles.Count(), 7);

    RECT box{LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, 0, LPARAM(&box));
    const LPARAM checkBox = MAKELPARAM(box.left + 8, (box.top + box.bottom) / 2);
    SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, checkBox); // a.tmp by mouse
    SendMessageW(list, WM_LBUTTONUP, 0, checkBox);
    form.ListFiles.SetSelected(1, true);
    SendMessageW(list, WM_KEYDOWN, VK_SPACE, 0); // b.tmp by the space bar
    SendMessageW(list, WM_KEYUP, VK_SPACE, 0);
    setTick(3, true); // d.tmp
    setTick(3, false);
    setTick(4, true); // e.tmp
    dvtest::PumpMessages();

    std::vector<std::string> ticked;
    for (int i = 0; i < form.FoundFiles.Count(); ++i)
        if (form.FoundFiles[i].Ticked)
            ticked.push_back(dv::WideToAnsi(form.FoundFiles[i].Name));
    EXPECT_EQ(ticked, (std::vector<std::string>{"a.tmp", "b.tmp", "e.tmp", "f.tmp"}));
    Items(form); // the view's ticks agree
    form.bDeleteClick();
    EXPECT_EQ(dvtest::TreeListing(drive_ + "\\D"),
              (std::vector<std::string>{"c.tmp", "d.tmp", "late.old"}));
    EXPECT_EQ(Items(form).size(), 3u);
}

} // namespace
