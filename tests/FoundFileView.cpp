// ListFiles as the user and other programs meet it: every way of ticking and
// selecting a file reaches the store, and "Delete" removes what was ticked.
#include "ListInput.h"
#include "ScanFixture.h"

#include <commctrl.h>

#include <algorithm>

using namespace dvtest;

namespace {

using NameList = std::vector<std::string>;

// One input, and what the list shows and "Delete" does after it. Every row
// starts from a.tmp, b1.tmp, B2.tmp and c.tmp listed, c.tmp selected.
struct Row {
    const char* Input;
    void (*Give)(dv::TSForm& form);
    const char* Selected;  // "" for none
    NameList Ticked;       // in the store
    int Told;              // ticks the store was told of
    NameList Left;         // on disk after "Delete"
    const char* KeptAfter; // the selection after "Delete"
};

HWND Files(dv::TSForm& form) { return form.ListFiles.Handle(); }

// clang-format off
const Row kRows[] = {
    {"a letter no name starts", [](dv::TSForm& f) { TypeLetter(Files(f), 'z'); },
     "c.tmp", {}, 0, kListed, "c.tmp"},
    {"space after a letter no name starts",
     [](dv::TSForm& f) { TypeLetter(Files(f), 'z'); PressSpace(Files(f)); },
     "c.tmp", {"c.tmp"}, 1, {"a.tmp", "b1.tmp", "B2.tmp"}, ""},
    {"a letter: the next name it starts, round past the end",
     [](dv::TSForm& f) { TypeLetter(Files(f), 'b'); },
     "b1.tmp", {}, 0, kListed, "b1.tmp"},
    {"a capital letter, then space",
     [](dv::TSForm& f) { TypeLetter(Files(f), 'B'); PressSpace(Files(f)); },
     "b1.tmp", {"b1.tmp"}, 1, {"a.tmp", "B2.tmp", "c.tmp"}, ""},
    {"a letter the selected name starts: the next one",
     [](dv::TSForm& f) { f.ListFiles.SetSelected(1, true); TypeLetter(Files(f), 'b'); },
     "B2.tmp", {}, 0, kListed, "B2.tmp"},
    {"a letter only a name above the selection starts",
     [](dv::TSForm& f) { f.ListFiles.SetSelected(2, true); TypeLetter(Files(f), 'a'); },
     "a.tmp", {}, 0, kListed, "a.tmp"},
    {"space", [](dv::TSForm& f) { PressSpace(Files(f)); },
     "c.tmp", {"c.tmp"}, 1, {"a.tmp", "b1.tmp", "B2.tmp"}, ""},
    {"a click on a check box", [](dv::TSForm& f) { ClickCheckBox(Files(f), 0); },
     "c.tmp", {"a.tmp"}, 1, {"b1.tmp", "B2.tmp", "c.tmp"}, "c.tmp"},
    {"a double click on a check box", [](dv::TSForm& f) { DoubleClickCheckBox(Files(f), 1); },
     "c.tmp", {"b1.tmp"}, 1, {"a.tmp", "B2.tmp", "c.tmp"}, "c.tmp"},
    {"LVM_SETITEMSTATE on one item", [](dv::TSForm& f) { f.ListFiles.SetChecked(2, true); },
     "c.tmp", {"B2.tmp"}, 1, {"a.tmp", "b1.tmp", "c.tmp"}, "c.tmp"},
    {"LVM_SETITEMSTATE on item -1", [](dv::TSForm& f) { f.ListFiles.SetChecked(-1, true); },
     "c.tmp", kListed, 1, {}, ""},
    {"LVM_SETITEMSTATE without an item",
     [](dv::TSForm& f) { EXPECT_FALSE(SendMessageW(Files(f), LVM_SETITEMSTATE, 0, 0)); },
     "c.tmp", {}, 0, kListed, "c.tmp"},
};
// clang-format on

std::string SelectedName(const dv::TSForm& form) {
    const int selected = form.ListFiles.SelectedIndex();
    return selected < 0 ? "" : U8(form.ListFiles.ItemText(selected, 0));
}

class FoundFileView : public ScanTest {
  protected:
    // A new window (so that no typed letters linger) listing the four files,
    // c.tmp selected; ticks told to the store are counted.
    dv::TSForm& Listed() {
        RemoveTree(drive_ + "\\D");
        for (const std::string& name : kListed)
            File("D\\" + name, 10);
        CreateForm();
        dv::TSForm& form = ScanForm({"*.tmp"});
        form.bScanClick();
        EXPECT_EQ(Names(form), kListed);
        form.ListFiles.SetSelected(3, true);
        told_ = 0;
        form.ListFiles.OnCheck = [&form, this](int index, bool ticked) {
            ++told_;
            form.ListFilesCheck(index, ticked);
        };
        return form;
    }
    int told_ = 0;
};

} // namespace

TEST_F(FoundFileView, EveryInputReachesTheStoreAndTheRemoval) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.Input);
        dv::TSForm& form = Listed();
        row.Give(form);
        EXPECT_EQ(SelectedName(form), row.Selected);
        EXPECT_EQ(StoredTicks(form), row.Ticked);
        EXPECT_EQ(ShownTicks(form), row.Ticked);
        EXPECT_EQ(told_, row.Told);
        form.bDeleteClick();
        NameList left = row.Left;
        std::sort(left.begin(), left.end()); // as TreeListing sorts
        EXPECT_EQ(TreeListing(drive_ + "\\D"), left);
        EXPECT_EQ(SelectedName(form), row.KeptAfter);
    }
}

// The pattern list, a check list of the platform's own, ticks a file once for
// a double click on its check box, as the table above expects of ListFiles.
TEST_F(FoundFileView, ADoubleClickOnACheckBoxTicksOnceInThePatternListToo) {
    dv::TSForm& form = Form();
    ASSERT_FALSE(form.cExt.Checked(0));
    DoubleClickCheckBox(form.cExt.Handle(), 0);
    EXPECT_TRUE(form.cExt.Checked(0));
}

// A match put in at the selected row or above it moves the selection down
// with its file; one put in below leaves it.
TEST_F(FoundFileView, TheSelectionStaysWithItsFileAsTheScanAddsMatches) {
    File("D\\b.one", 10);
    File("D\\a.two", 10);
    File("D\\c.two", 10);
    File("D\\0.new", 10); // found by the second scan only, and put in first
    // b.one is selected before "*.two" is searched, then the selection is
    // taken from that item (or from every item, -1), or left.
    const struct {
        int Deselected; // -2: none
        const char* Selected;
    } rows[] = {{-2, "b.one"}, {0, ""}, {-1, ""}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Deselected);
        dv::TSForm& form = ScanForm({"*.one", "*.two"});
        TextRecorder label(form.Label9);
        label.OnText = [&](const std::string& text) {
            if (text != "Searching..." || form.ListFiles.Count() != 1)
                return;
            form.ListFiles.SetSelected(0, true);
            if (row.Deselected > -2)
                form.ListFiles.SetSelected(row.Deselected, false);
        };
        form.bScanClick();
        EXPECT_EQ(Names(form), (NameList{"a.two", "b.one", "c.two"}));
        EXPECT_EQ(SelectedName(form), row.Selected);
        // A new scan starts with nothing selected, and selects nothing itself,
        // also when it puts matches in above the row selected before.
        label.OnText = nullptr;
        SetPatterns({"*.one", "*.two", "*.new"});
        form.bScanClick();
        EXPECT_EQ(Names(form), (NameList{"0.new", "a.two", "b.one", "c.two"}));
        EXPECT_EQ(SelectedName(form), "");
    }
}
TEST_F(RemovalTest, TickingAllOrNoneAndTheHintOfTheSelectedItem) {
    dv::TSForm& form = Form();
    form.bSelAllClick(); // empty list: nothing happens
    form.bClearAllClick();

    Found({{"D\\a.tmp", 10}, {"E\\b.tmp", 10}, {"D\\c.tmp", 10}});
    form.ListFiles.SetChecked(1, true);
    form.bSelAllClick();
    EXPECT_EQ(ShownTicks(form), (NameList{"a.tmp", "b.tmp", "c.tmp"}));
    form.bClearAllClick();
    EXPECT_EQ(ShownTicks(form), NameList{});

    form.ListFiles.SetSelected(0, true);
    EXPECT_EQ(form.ListFiles.Hint, W(At("D\\a.tmp")));
    form.ListFiles.SetSelected(1, true);
    EXPECT_EQ(form.ListFiles.Hint, W(At("E\\b.tmp")));
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

    ClickCheckBox(list, 0); // a.tmp by mouse
    form.ListFiles.SetSelected(1, true);
    PressSpace(list); // b.tmp by the space bar
    setTick(3, true); // d.tmp
    setTick(3, false);
    setTick(4, true); // e.tmp
    dvtest::PumpMessages();

    EXPECT_EQ(StoredTicks(form), (NameList{"a.tmp", "b.tmp", "e.tmp", "f.tmp"}));
    EXPECT_EQ(ShownTicks(form), (NameList{"a.tmp", "b.tmp", "e.tmp", "f.tmp"}));
    form.bDeleteClick();
    EXPECT_EQ(TreeListing(drive_ + "\\D"), (NameList{"c.tmp", "d.tmp", "late.old"}));
    EXPECT_EQ(Names(form), (NameList{"c.tmp", "d.tmp", "late.old"}));
}

// A match put in paints again only the rows in view that now show another
// item: from its row down, every row when it goes above them, none when it
// goes below them. The bottom row in view is partly shown, and counts.
TEST_F(FoundFileView, AMatchPaintsOnlyTheRowsInViewItChanges) {
    const struct {
        const char* Added;
        int Top;          // the first row in view
        int FirstPainted; // the first row asked for again; -1: none
    } rows[] = {
        {"z.two", 0, -1},  {"mcx.two", 0, 3}, {"a.two", 0, 0},
        {"a.two", 4, 4},   {"z.two", 4, -1},  {"mfx.two", 0, 6}, // the partly shown row
        {"mix.two", 4, 9},                                       // in view only once scrolled
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.Added) + " with row " + std::to_string(row.Top) + " on top");
        RemoveTree(drive_ + "\\D");
        for (char c = 'a'; c <= 'l'; ++c)
            File(std::string("D\\m") + c + ".one", 10);
        File("D\\" + std::string(row.Added), 10);
        CreateForm().Show(); // showing the window lists the drives again
        dv::TSForm& form = ScanForm({"*.one", "*.two"});
        form.PageControl1.SetActivePage(1);
        int firstPainted = -1;
        bool recording = false;
        auto text = form.ListFiles.OnItemText;
        form.ListFiles.OnItemText = [&](int index, int column) {
            if (recording && (firstPainted < 0 || index < firstPainted))
                firstPainted = index;
            return text(index, column);
        };
        TextRecorder label(form.Label9);
        label.OnText = [&](const std::string& said) {
            if (said != "Searching..." || form.ListFiles.Count() != 12)
                return;
            RECT first;
            ASSERT_TRUE(form.ListFiles.RowRect(0, first));
            SendMessageW(form.ListFiles.Handle(), LVM_SCROLL, 0,
                         row.Top * (first.bottom - first.top));
            UpdateWindow(form.Handle());
            dvtest::PumpMessages();
            ASSERT_EQ(form.ListFiles.TopIndex(), row.Top);
            RECT partly, client;
            ASSERT_TRUE(form.ListFiles.RowRect(row.Top + form.ListFiles.RowsPerPage(), partly));
            GetClientRect(form.ListFiles.Handle(), &client);
            ASSERT_LT(partly.top, client.bottom);
            recording = true;
        };
        form.bScanClick();
        EXPECT_EQ(firstPainted, row.FirstPainted);
    }
}
