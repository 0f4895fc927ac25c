// ListFiles of dormivane.exe running as a process of its own, ticked from this
// process with LVM_SETITEMSTATE as automation tools send it: the item lies in
// a block of the program's memory.
#include "ListInput.h"
#include "ScanFixture.h"

#include "app/Strings.h"

#include <commctrl.h>

#include <algorithm>

using namespace dvtest;

namespace {

using NameList = std::vector<std::string>;

// The last drive letter the program's drive list offers.
const char kProgramDrive[] = "P:";

// An LVITEMW in another process's memory.
class RemoteItem {
  public:
    explicit RemoteItem(DWORD processId)
        : process_(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId)),
          address_(VirtualAllocEx(process_, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE)) {
    }
    ~RemoteItem() {
        VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        CloseHandle(process_);
    }
    RemoteItem(const RemoteItem&) = delete;
    RemoteItem& operator=(const RemoteItem&) = delete;

    // Sets states of an item (-1: of every item) of a list of that process.
    void SetState(HWND list, int index, UINT state, UINT mask) {
        LVITEMW item{};
        item.state = state;
        item.stateMask = mask;
        WriteProcessMemory(process_, address_, &item, sizeof item, nullptr);
        SendMessageW(list, LVM_SETITEMSTATE, WPARAM(index), LPARAM(address_));
    }

  private:
    HANDLE process_;
    void* address_;
};

struct Windows {
    HWND Files = nullptr;     // the owner-data list
    std::vector<HWND> Checks; // the drive and pattern lists
    HWND Scan = nullptr, Delete = nullptr;
};

BOOL CALLBACK Collect(HWND child, LPARAM data) {
    auto& found = *reinterpret_cast<Windows*>(data);
    char name[64] = "";
    GetClassNameA(child, name, sizeof name);
    const bool ownerData = GetWindowLongA(child, GWL_STYLE) & LVS_OWNERDATA;
    if (std::string(name) == "SysListView32")
        (ownerData ? found.Files : found.Checks.emplace_back()) = child;
    else if (WindowText(child) == " Scan ")
        found.Scan = child;
    else if (WindowText(child) == "Delete")
        found.Delete = child;
    return TRUE;
}

int LeftEdge(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    return r.left;
}

void Press(HWND button) {
    SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                 LPARAM(button));
}

UINT Tick(bool ticked) { return INDEXTOSTATEIMAGEMASK(ticked ? 2 : 1); }

// One LVM_SETITEMSTATE that ticks, and what the program shows and deletes
// after it. Every row starts from the four files listed, c.tmp selected.
struct Row {
    const char* Input;
    int Index;
    NameList Ticked, Left; // Left in the list's order
    const char* KeptAfter;
};

const Row kRows[] = {
    {"one item", 2, {"B2.tmp"}, {"a.tmp", "b1.tmp", "c.tmp"}, "c.tmp"},
    {"item -1", -1, kListed, {}, ""},
};

class ProgramList : public ScanTest {
  protected:
    void SetUp() override {
        ScanTest::SetUp();
        ASSERT_TRUE(MapDrive(kProgramDrive, drive_));
        WriteFile(ProgramDirectory() + "DVext.ini", "*.tmp\r\n");
        run_ = RunProgram("", 0);
        const std::vector<HWND> main = WaitForWindows(run_.ProcessId, "TSForm");
        ASSERT_EQ(main.size(), 1u);
        EnumChildWindows(main[0], Collect, LPARAM(&windows_));
        ASSERT_EQ(windows_.Checks.size(), 2u);
        ASSERT_TRUE(windows_.Files && windows_.Scan && windows_.Delete);
        item_ = std::make_unique<RemoteItem>(run_.ProcessId);
        // Only the test's drive, the last one, is scanned.
        HWND drives = std::min(windows_.Checks[0], windows_.Checks[1],
                               [](HWND a, HWND b) { return LeftEdge(a) < LeftEdge(b); });
        item_->SetState(drives, -1, Tick(false), LVIS_STATEIMAGEMASK);
        item_->SetState(drives, ListCount(drives) - 1, Tick(true), LVIS_STATEIMAGEMASK);
    }
    void TearDown() override {
        item_.reset();
        EndProcess(run_);
        UnmapDrive(kProgramDrive);
        ScanTest::TearDown();
    }

    static int ListCount(HWND list) { return int(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)); }
    HWND Files() const { return windows_.Files; }
    std::string Selected(const NameList& shown) const {
        const int index = int(SendMessageW(Files(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
        return index < 0 ? "" : shown.at(size_t(index));
    }
    // The ticks the view shows, which it asks of the program's store.
    NameList Ticked() const {
        NameList names;
        for (int i = 0; i < ListCount(Files()); ++i)
            if (UINT(SendMessageW(Files(), LVM_GETITEMSTATE, i, LVIS_STATEIMAGEMASK)) == Tick(true))
                names.push_back(kListed.at(size_t(i)));
        return names;
    }

    ProgramRun run_;
    Windows windows_;
    std::unique_ptr<RemoteItem> item_;
};

} // namespace

TEST_F(ProgramList, TicksFromAnotherProcessReachTheStoreAndTheRemoval) {
    for (const Row& row : kRows) {
        SCOPED_TRACE(row.Input);
        RemoveTree(drive_ + "\\D");
        for (const std::string& name : kListed)
            File("D\\" + name, 10);
        Press(windows_.Scan);
        ASSERT_EQ(ListCount(Files()), 4);
        item_->SetState(Files(), 3, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);

        item_->SetState(Files(), row.Index, Tick(true), LVIS_STATEIMAGEMASK);
        EXPECT_EQ(Selected(kListed), "c.tmp");
        EXPECT_EQ(Ticked(), row.Ticked);
        Press(windows_.Delete);
        NameList left = row.Left;
        std::sort(left.begin(), left.end()); // as TreeListing sorts
        EXPECT_EQ(TreeListing(drive_ + "\\D"), left);
        EXPECT_EQ(Selected(row.Left), row.KeptAfter);
    }
}
