// Removing found files: ticked items leave the list and the disk, the freed
// kilobytes reach the total.
#include "ScanFixture.h"

#include "ListInput.h"
#include "PlayedVolume.h"

#include "app/Application.h"
#include "app/Errors.h"
#include "app/Modal.h"

#include <atomic>
#include <thread>
#include <utility>

using namespace dvtest;

namespace {

// Asks from another thread, as Windows does, whether the window looks hung.
struct HungWatch {
    explicit HungWatch(HWND window)
        : thread([this, window] {
              for (; !stop; Sleep(100))
                  hung = hung || IsHungAppWindow(window);
          }) {}
    ~HungWatch() {
        stop = true;
        thread.join();
    }
    std::atomic<bool> stop = false, hung = false;
    std::thread thread;
};

// A button's click as its parent gets it.
WPARAM ClickOf(const dv::ui::TButton& button) {
    return MAKEWPARAM(GetDlgCtrlID(button.Handle()), BN_CLICKED);
}
HWND ParentOf(const dv::ui::TControl& control) { return GetParent(control.Handle()); }

// One call of the file work blocks 8 seconds, past the 5 after which Windows
// takes a window that does not look at its queue for hung. Input made
// meanwhile, posted or sent from another thread in any way, takes effect once,
// in its order, after the run.
TEST_F(RemovalTest, LongRunsNeverLookHungAndLeaveInputForTheirEnd) {
    std::vector<std::pair<std::string, size_t>> files = {{"K\\akeep.tmp", 10}};
    for (int i = 0; i < 20; ++i)
        files.push_back({"D\\f" + std::to_string(1000 + i) + ".tmp", 10});
    for (int i = 0; i < 20; ++i) // to clean, made before the slow disk learns its tree
        File("C\\f" + std::to_string(i), 10);
    dv::TSForm& form = Found(files);
    form.bSelAllClick();
    form.ListFiles.SetChecked(0, false); // akeep.tmp
    std::thread sender;
    PlayedVolume slow(drive_, {});
    slow.AfterOpen = [&](const std::string&) {
        if (sender.joinable())
            return;
        sender = std::thread([&] { // Delete, a tick, Select all, a menu, a tick
            SendNotifyMessageW(ParentOf(form.bDelete), WM_COMMAND, ClickOf(form.bDelete),
                               LPARAM(form.bDelete.Handle()));
            ClickCheckBox(form.ListFiles.Handle(), 0); // akeep.tmp's, sent to the list
            SendMessageCallbackW(ParentOf(form.bSelAll), WM_COMMAND, ClickOf(form.bSelAll),
                                 LPARAM(form.bSelAll.Handle()), nullptr, 0);
            SendMessageW(ParentOf(form.cExt), WM_CONTEXTMENU, WPARAM(form.cExt.Handle()), -1);
            ClickCheckBox(form.cExt.Handle(), 0); // "*.tmp"
        });
        Sleep(8000);
    };
    PumpMessages();
    {
        HungWatch watch(form.Handle());
        form.bDeleteClick();
        EXPECT_FALSE(watch.hung);
    }
    sender.join();
    EXPECT_EQ(Names(form), std::vector<std::string>{"akeep.tmp"});
    EXPECT_TRUE(ShownTicks(form).empty());
    EXPECT_EQ(Modal().Popups, 0);
    EXPECT_TRUE(form.cExt.Checked(0));
    PumpMessages();
    EXPECT_FALSE(form.cExt.Checked(0));
    EXPECT_EQ(form.Label9.Caption(), "Deleted: 0KB"); // Delete came first, once
    EXPECT_EQ(ShownTicks(form), std::vector<std::string>{"akeep.tmp"});
    EXPECT_EQ(Modal().Popups, 1);

    form.ListBox1.Add(drive_ + "\\C");
    slow.AfterOpen = [&, clicked = false](const std::string&) mutable {
        if (!std::exchange(clicked, true)) { // queued as a click's command is
            PostMessageW(ParentOf(form.bClearAll), WM_COMMAND, ClickOf(form.bClearAll),
                         LPARAM(form.bClearAll.Handle()));
            Sleep(8000);
        }
    };
    {
        HungWatch watch(form.Handle());
        ClickAsUser(form.bCleanNow);
        EXPECT_FALSE(watch.hung);
    }
    EXPECT_EQ(form.lprog.Caption(), "Nothing to clean");
    EXPECT_EQ(ShownTicks(form), std::vector<std::string>{"akeep.tmp"});
    PumpMessages();
    EXPECT_TRUE(ShownTicks(form).empty());
}

// A run that ends in an error box: a close asked during the run comes after
// the box, as the box's own loop runs. The end of the session stops a clean
// after the file in hand, and the freed total is stored.
TEST_F(RemovalTest, InputWaitsForTheErrorBoxAndTheSessionsEndStopsTheRun) {
    for (int i = 0; i < 10; ++i)
        File("C\\f" + std::to_string(i), 2048);
    dv::TSForm& form = Found({{"D\\a.tmp", 10}});
    form.ListBox1.Add(drive_ + "\\C");
    form.ListBox1.Add(drive_ + "\\gone");
    PlayedVolume played(drive_, {});
    played.AfterOpen = [&, closed = false](const std::string&) mutable {
        if (!std::exchange(closed, true))
            PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
    };
    bool openAtTheBox = false;
    dv::Modal().MessageBox = [&](HWND, const std::string&, const std::string&, UINT) {
        InvalidateRect(form.Handle(), nullptr, TRUE); // as a box over the window does
        PumpMessages();
        openAtTheBox = IsWindow(form.Handle());
        return IDOK;
    };
    ClickAsUser(form.bCleanNow);
    EXPECT_TRUE(openAtTheBox);
    EXPECT_EQ(Cleaned(), 20);
    PumpMessages();
    EXPECT_FALSE(IsWindow(form.Handle()));
    dv::Application.Terminated = false; // the closed window ended the program

    CreateForm();
    dv::TSForm& again = Found({{"D\\a.tmp", 10}});
    for (int i = 0; i < 10; ++i)
        File("C\\f" + std::to_string(i), 2048);
    again.ListBox1.Add(drive_ + "\\C");
    std::thread session;
    int opened = 0;
    played.AfterOpen = [&](const std::string& name) {
        if (name.find("\\f") == std::string::npos || ++opened != 3)
            return;
        session = std::thread([&] { SendMessageW(again.Handle(), WM_ENDSESSION, TRUE, 0); });
        Sleep(1500); // the window takes the end of the session meanwhile
    };
    ClickAsUser(again.bCleanNow);
    session.join();
    EXPECT_EQ(dvtest::TreeListing(drive_ + "\\C").size(), 7u);
    EXPECT_EQ(Cleaned(), 20 + 6);
    EXPECT_TRUE(dv::Application.Terminated);
}

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
    EXPECT_EQ(ShownTicks(form), std::vector<std::string>{});
    EXPECT_FALSE(PathExists(drive_ + "\\D\\2.tmp"));
    EXPECT_FALSE(PathExists(drive_ + "\\D\\3.tmp"));
    EXPECT_TRUE(PathExists(drive_ + "\\D\\1.tmp"));
    EXPECT_EQ(form.Label9.Caption(), "Deleted: 1KB"); // 1 + 0
    EXPECT_TRUE(form.Label9.Visible());
    EXPECT_FALSE(form.ProgressBar2.Visible());
    EXPECT_EQ(form.ProgressBar2.Position(), 2);
    EXPECT_EQ(form.ProgressBar2.Max(), 5);
    EXPECT_EQ(form.StatusBar1.PanelText(0), At("D\\3.tmp"));
    EXPECT_LE(status.Count(At("D\\2.tmp")), 1); // the latest path, once a frame at most
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
    auto name = [](int i) {
        return "f" + std::string(i < 10 ? "0" : "") + std::to_string(i) + ".tmp";
    };
    std::vector<std::pair<std::string, size_t>> files;
    for (int i = 0; i < 60; ++i)
        files.push_back({"D\\" + name(i), size_t(1024 * (i % 3))});
    dv::TSForm& form = Found(files);
    std::vector<Item> staying;
    int64_t expectedKB = 0;
    for (int i = 0; i < 60; ++i) {
        if (i % 7 == 3) {
            staying.push_back({name(i), At("D"), std::to_string(i % 3)});
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

    // In the order of lstrcmpW: Latin, Cyrillic, the emoji, then the Han names.
    EXPECT_EQ(Names(form), (std::vector<std::string>{"café.bak", "deep.bak", "Кирилл.bak", "😀.bak",
                                                     "中文.bak", "日本.bak"}));
    form.ListFiles.SetSelected(0, true);
    EXPECT_EQ(U8(form.ListFiles.Hint), At("J\\café.bak"));
    form.bSelAllClick();
    form.bDeleteClick();
    EXPECT_EQ(form.Label9.Caption(), "Deleted: 11KB");
    EXPECT_EQ(U8(form.StatusBar1.WidePanelText(0)), At("J\\日本.bak"));
    for (const auto& file : files)
        EXPECT_FALSE(PathExists(drive_ + "\\" + file.first)) << file.first;
}

} // namespace
