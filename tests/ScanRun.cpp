// The scan, on a drive letter of its own that leads into the test's scratch
// folder.
#include "ScanFixture.h"

#include "PlayedVolume.h"

#include "app/Errors.h"
#include "app/Strings.h"
#include "scan/Unit1.h"

#include <algorithm>

using namespace dvtest;

namespace {

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
    EXPECT_EQ(Names(form), (std::vector<std::string>{"~A.~B", "inner.old", "ro.chk", "sys.tmp",
                                                     "TEST.TMP", "TEST.TMP"}));
    EXPECT_EQ(form.FoundKB, 13);
    EXPECT_EQ(form.Label9.Caption(), "Found: 13Kb in 6 files");
    EXPECT_TRUE(form.Label9.Visible());
    EXPECT_EQ(form.StatusBar1.PanelText(0), "6 files found");
    EXPECT_EQ(form.ListFiles.Hint, L"6 files found");
    EXPECT_TRUE(form.ListTmp.Empty());
    EXPECT_EQ(ShownTicks(form), std::vector<std::string>{});
    form.cExt.SetChecked(2, false); // "~A.~B" is listed for the second of its patterns
    form.bScanClick();
    EXPECT_EQ(form.FoundKB, 13);
    ExpectButtonsEnabled(true);

    // Each found file, and each folder on its way below the root, keeps the ID
    // the volume gives it.
    for (int i = 0; i < form.FoundFiles.Count(); ++i)
        EXPECT_EQ(form.FoundFiles[i].Id, VolumeId(drive_ + U8(form.FoundFiles.Path(i)).substr(2)));
    for (const char* folder : {"TEMP", "DATA", "X.BAK", "HID", "HID\\deep"})
        EXPECT_EQ(form.FoundFiles.FolderId(W(At(folder))), VolumeId(drive_ + "\\" + folder))
            << folder;
    EXPECT_EQ(form.FoundFiles.FolderId(W(kScanDrive)), std::nullopt);
}

// What each pattern lists, as the directory search of Windows finds it for a
// pattern at the end of an ordinary path: "*." the names without a dot, "?"
// one character but a dot (at a dot or the end none), ".?" or ".*" a dot or the
// end, letters as the system's upcase table has them.
TEST_F(ScanTest, EachPatternListsWhatTheDirectorySearchOfWindowsFinds) {
    using NameList = std::vector<std::string>;
    // Win32 cannot delete "a." either: the host clears the folder before and after.
    ASSERT_TRUE(RunHostScript(drive_, "rm -rf T && mkdir T && cd T && touch .a a a. a.b a.~b ab f "
                                      "f.f f.fa.b x.y. x.y.z x.äö '~a.b'"));
    const NameList all = {".a",  "a",      "a.",   "a.b",   "a.~b", "ab",  "f",
                          "f.f", "f.fa.b", "x.y.", "x.y.z", "x.äö", "~a.b"};
    const std::pair<const char*, NameList> rows[] = {
        {"*", all},
        {"*.*", all},
        {"*.", {"a", "ab", "f"}},
        {"*.*.", all},
        {"?", {"a", "f"}},
        {"a?", {"a", "ab"}},
        {"??", {"a", "ab", "f"}},
        {"?.?", {".a", "a", "a.", "a.b", "f", "f.f"}},
        {"*.?", {".a", "a", "a.", "a.b", "ab", "f", "f.f", "f.fa.b", "x.y.", "x.y.z", "~a.b"}},
        {"a?.", {"a", "ab"}},
        {".*", {".a"}},
        {"~*.*", {"~a.b"}},
        {"*.~*", {"a.~b"}},
        {"f*.f*", {"f.f", "f.fa.b"}},
        {"*.ÄÖ", {"x.äö"}},
    };
    dv::TSForm& form = ScanForm({});
    for (const auto& [pattern, listed] : rows) {
        SetPatterns({dv::WideToAnsi(W(pattern))});
        form.bScanClick();
        NameList names = Names(form);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, listed) << pattern;
    }
    RunHostScript(drive_, "rm -rf T");
}

// ASCII and accented names (UTF-8 here) stand where lstrcmpA puts their ANSI
// spelling; equal names stand in the order they were found (a directory is
// searched before the directories below it, and those in listing order).
TEST_F(ScanTest, ItemsStandInTheOrderOfLstrcmpA) {
    const std::vector<std::string> names = {
        "b.tmp", "B2.tmp", "a.tmp",  "_c.tmp", "A-z.tmp", "ab.tmp", "Ab.tmp", "10.tmp",
        "9.tmp", "é.tmp",  "Éb.tmp", "eb.tmp", "äb.tmp",  "zz.tmp", "Öl.tmp", "ol.tmp"};
    for (size_t i = 0; i < names.size(); ++i)
        File((i % 2 ? "ONE\\" : "TWO\\") + names[i], 10);
    for (const char* dir : {"P", "P\\C", "P\\C\\D", "P\\E", "P\\F"})
        File(std::string(dir) + "\\same.tmp", 10);
    dv::TSForm& form = ScanForm({"*.tmp"});
    form.bScanClick();

    // Punctuation first, then digits as text, then letters with case and accents
    // weighing less than the letters themselves (a hyphen not at all).
    const std::vector<std::string> expected = {
        "_c.tmp", "10.tmp", "9.tmp",  "a.tmp",  "ab.tmp", "Ab.tmp", "äb.tmp",   "A-z.tmp", "b.tmp",
        "B2.tmp", "é.tmp",  "eb.tmp", "Éb.tmp", "ol.tmp", "Öl.tmp", "same.tmp", "zz.tmp"};
    std::vector<std::string> shown, sameIn;
    for (const Item& item : Items(form)) {
        if (shown.empty() || shown.back() != std::get<0>(item))
            shown.push_back(std::get<0>(item));
        if (std::get<0>(item) == "same.tmp")
            sameIn.push_back(std::get<1>(item));
    }
    EXPECT_EQ(shown, expected);
    // Each folder before the folders below it, which come in listing order.
    std::vector<std::string> sameExpected = {At("P")};
    for (const std::string& below : ListedFolders(drive_ + "\\P")) {
        sameExpected.push_back(At("P\\" + below));
        if (below == "C")
            sameExpected.push_back(At("P\\C\\D"));
    }
    EXPECT_EQ(sameIn, sameExpected);
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

    // "Scanning: <n>" at most once a frame, the count only growing, up to the
    // folders recorded (A, A\B, C); then two texts per ticked pattern.
    ASSERT_GE(label.Texts.size(), 6u);
    EXPECT_EQ(label.Texts[0], "Scanning...");
    const std::vector<std::string> walk(label.Texts.begin() + 1, label.Texts.end() - 4);
    EXPECT_TRUE(std::is_sorted(walk.begin(), walk.end()));
    EXPECT_EQ(walk.back(), "Scanning: 3");
    EXPECT_EQ(std::vector<std::string>(label.Texts.end() - 4, label.Texts.end()),
              (std::vector<std::string>{"Searching...", "Found: 0Kb in 2 files", "Searching...",
                                        "Found: 0Kb in 3 files"}));
    EXPECT_EQ(enabledDuringScan, std::vector<bool>(8, false));
    ExpectButtonsEnabled(true);
}

TEST_F(ScanTest, TicksAndPatternsChangedDuringTheScanCountForEntriesNotYetReached) {
    File("D\\a.one", 10);
    File("D\\b.two", 10);
    File("D\\c.three", 10);
    File("D\\E.four\\d.four", 10); // a folder that matches is walked, not listed
    File("G\\e.four", 10);
    File("root.four", 10); // in the root: never listed
    File("H\\h.four", 10); // swapped for a link before the pattern pass: neither listed
    File("K\\k.four", 10); // swapped for another folder before the pattern pass: neither listed
    dvtest::MakeDir(root_ + "\\outside");
    dvtest::WriteFile(root_ + "\\outside\\z.four", "z");
    links_.push_back(drive_ + "\\H");
    dv::TSForm& form = ScanForm({"*.one", "*.two", "*.three"});
    form.cExt.SetChecked(1, false);
    dv::TAddExt addExt;
    TextRecorder label(form.Label9);
    bool changed = false, added = false;
    label.OnText = [&](const std::string& text) {
        if (text.starts_with("Scanning: ") && !added) {
            added = true; // after the walk took the patterns: each folder is listed again
            dvtest::Modal().ModalAnswer = [&](HWND) {
                addExt.Edit1.SetText("*.four");
                return IDOK;
            };
            form.AddClick();
            form.cExt.SetChecked(3, true);
        }
        if (text == "Searching..." && !changed) {
            changed = true;
            // Made after the walk: only a pattern it did not know finds them.
            File("D\\late.two", 10);
            File("G\\late.four", 10);
            RunHostScript(drive_, "rm -rf H && ln -s \"$PWD/../outside\" H && mv K K.old && "
                                  "mkdir K && touch K/k.four");
            form.cExt.SetChecked(1, true);  // not reached yet: searched
            form.cExt.SetChecked(2, false); // not reached yet: left out
        }
    };
    form.bScanClick();
    EXPECT_EQ(Sorted(Items(form)), Sorted({{"a.one", At("D"), "0"},
                                           {"b.two", At("D"), "0"},
                                           {"d.four", At("D\\E.four"), "0"},
                                           {"e.four", At("G"), "0"},
                                           {"late.four", At("G"), "0"}}));
    EXPECT_EQ(form.FoundFiles.FolderId(W(At("D\\E.four"))), VolumeId(drive_ + "\\D\\E.four"));
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
    // A drive that cannot be listed is passed over, with the count it comes to.
    ASSERT_EQ(GetDriveTypeA("R:\\"), UINT(DRIVE_NO_ROOT_DIR));
    form.cDisks.Add("R:");
    form.cDisks.SetChecked(1, true);
    TextRecorder label(form.Label9);
    form.bScanClick();
    ASSERT_EQ(form.ListFiles.Count(), 1);
    EXPECT_EQ(label.Count("Scanning: 1"), 2); // D, then R:
    form.cDisks.Delete(1);
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

TEST_F(ScanTest, DirectoryLinksAndFoldersThatCannotBeListedAreNotEntered) {
    File("A\\B\\f.tmp", 10);
    File("C\\c.tmp", 10);
    File("G\\g.tmp", 10);
    dvtest::MakeDir(root_ + "\\outside");
    dvtest::WriteFile(root_ + "\\outside\\z.tmp", "z");
    ASSERT_TRUE(Link(drive_ + "\\A\\B\\loop", drive_ + "\\A")) << "no directory links here";
    ASSERT_TRUE(Link(drive_ + "\\A\\out", root_ + "\\outside"));
    dv::TSForm& form = ScanForm({"*.tmp"});
    // The first of C and G that the root lists is a link to the folder outside
    // when the walk comes to it (a folder gone, now a file or refused is passed
    // over as well: see the played volumes).
    std::vector<std::string> gone = ListedFolders(drive_);
    std::erase(gone, "A");
    links_.push_back(drive_ + "\\" + gone[0]);
    PlayedVolume played(drive_, {});
    played.AfterListing = [&](const std::string& folder) {
        if (folder.empty()) // the root's listing
            RunHostScript(drive_, "rm -rf " + gone[0] + " && ln -s \"$PWD/../outside\" " + gone[0]);
    };
    TextRecorder label(form.Label9);
    form.bScanClick();
    const Item left{gone[1] == "C" ? "c.tmp" : "g.tmp", At(gone[1]), "0"};
    EXPECT_EQ(Sorted(Items(form)), Sorted({{"f.tmp", At("A\\B"), "0"}, left}));
    // Recorded: A, A\B and the folder left.
    EXPECT_NE(std::find(label.Texts.begin(), label.Texts.end(), "Scanning: 3"), label.Texts.end());
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
    bool searched = false; // the walk lets messages in from its first folder on
    TextRecorder label(form.Label9);
    label.OnText = [&](const std::string& text) { searched |= text == "Searching..."; };
    form.bScanClick();
    EXPECT_TRUE(destroy.Ran);
    EXPECT_EQ(form_, nullptr);
    EXPECT_FALSE(searched);
}

} // namespace
