// The removal deletes exactly the files the scan found: a folder or a file
// replaced after the scan, or during the removal itself, ends that file, and
// the files of another folder stay, whatever the swap led to.
#include "PlayedVolume.h"
#include "ScanFixture.h"

#include <optional>

using namespace dvtest;
using Listing = std::vector<std::string>;

namespace {

struct Swap {
    const char* Case;
    const char* AtOpen; // the entry after whose open the swap runs; "" after the scan
    const char* Script; // run on the host in the drive's folder; "": d\y played as a junction
    Listing Drive;      // what the drive's folder d holds afterwards
    std::string Deleted;
    VolumePlay Volume = {};                    // of the scan and the removal
    const VolumePlay* DiskAfterScan = nullptr; // another disk at the drive's letter since
    int Found = 2;
    // The pattern added during the scan, the swap made as its pass starts.
    bool PatternAddedInScan = false;
};

const VolumePlay kOlderWindows = {.DontReparseRefused = true}, kShare = {.Share = true};
const VolumePlay kWineIds = {.IdsLast = true, .DontReparseIgnored = true};
const VolumePlay kUnlisted = {.NoFileIds = true, .IdsLast = true}; // yet IDs last
// "No ID" as ReFS spells it where an ID does not fit 64 bits, and widened.
const VolumePlay kNarrowOnes = {.IdsLast = true, .IdsAllOnes = true},
                 kWideOnes = {.IdsLast = true, .WideIds = true, .IdsAllOnes = true};
const VolumePlay kSerial1 = {.Serial = 1}, kSerial2 = {.Serial = 2}, kNoSerial = {};
const Listing kAllThere = {"x", "x\\1.tmp", "y", "y\\2.tmp"}, kNoneThere = {"x", "y"},
              kSecondThere = {"x", "y", "y\\2.tmp"},
              kOldThere = {"x", "y", "y.old", "y.old\\2.tmp"};
const char kMadeAnew[] = "rm d/y/2.tmp && echo new > d/y/2.tmp";
const char kMadeOlder[] = "rm d/y/2.tmp && echo new > d/y/2.tmp && touch -d 2001-01-01 d/y/2.tmp";
const char kAppended[] = "echo more >> d/y/2.tmp";
// The stat's 64-bit IDs other than the internal ones, refused during the scan alone.
const uint64_t kStatBits = uint64_t(5) << 60;
const VolumePlay kStatOther = {.StatIdBits = kStatBits},
                 kStatRefused = {.StatRefusal = kStatusInvalidInfoClass, .StatIdBits = kStatBits};
const char kTopNowLink[] = "mv d d.old && ln -s \"$PWD/../victim\" d";
const char kSecondName[] = "rm ../victim/2.tmp && printf precious > d/y/2.tmp && "
                           "ln d/y/2.tmp ../victim/2.tmp && mv d/y d/y.old && "
                           "ln -s \"$PWD/../victim\" d/y";

const Swap kSwaps[] = {
    {"folder now a link",
     "",
     "rm -rf d/y && ln -s \"$PWD/../victim\" d/y",
     {"x", "y"},
     "Deleted: 1KB"},
    // Where no ID tells, the folder's own answer does (played: Wine opens a
    // link's target), also for one opened from the folders kept open.
    {"sibling folder now a link on a share without IDs",
     "d\\x\\1.tmp",
     "",
     {"x", "y", "y\\2.tmp"},
     "Deleted: 1KB",
     {.NoFileIds = true}},
    {"folder now another of the same name",
     "",
     "mv d/y d/y.old && mkdir d/y && echo new > d/y/2.tmp",
     {"x", "y", "y.old", "y.old\\2.tmp", "y\\2.tmp"},
     "Deleted: 1KB"},
    {"file now another of the same name",
     "",
     "mv d/y/2.tmp d/y/2.old && echo new > d/y/2.tmp",
     {"x", "y", "y\\2.old", "y\\2.tmp"},
     "Deleted: 1KB"},
    // Told apart by their 128-bit IDs, while the 64 bits of each answer change.
    {"file now another of the same name on ReFS",
     "",
     "mv d/y/2.tmp d/y/2.old && echo new > d/y/2.tmp",
     {"x", "y", "y\\2.old", "y\\2.tmp"},
     "Deleted: 1KB",
     kReFS},
    {"disk now an exFAT one of the same paths", "", "", kAllThere, "Deleted: 0KB", kReFS, &kFat},
    {"disk now of another serial number", "", "", kAllThere, "Deleted: 0KB", kSerial1, &kSerial2},
    // Where the drive tells no serial number now, the IDs decide.
    {"disk of no serial number now", "", "", kNoneThere, "Deleted: 3KB", kSerial1, &kNoSerial},
    // FAT gives a file made anew its old ID: the time it was written tells.
    {"file made anew in its slot on FAT", "", kMadeAnew, kSecondThere, "Deleted: 1KB", kFat},
    {"file made older in its slot on FAT", "", kMadeOlder, kSecondThere, "Deleted: 1KB", kFat},
    {"file made anew with no IDs listed", "", kMadeAnew, kSecondThere, "Deleted: 1KB", kUnlisted},
    {"file made anew with IDs all ones", "", kMadeAnew, kSecondThere, "Deleted: 1KB", kNarrowOnes},
    {"file made anew with IDs ones widened", "", kMadeAnew, kSecondThere, "Deleted: 1KB",
     kWideOnes},
    {"stat refused in the scan", "", "", kNoneThere, "Deleted: 3KB", kStatRefused, &kStatOther},
    {"file appended to on NTFS", "", kAppended, kNoneThere, "Deleted: 3KB", {.IdsLast = true}},
    // Wine keeps no IDs for life either.
    {"file appended to", "", kAppended, kSecondThere, "Deleted: 1KB"},
    // The folders of the path in hand are kept open; one opened from them is
    // checked all the same.
    {"sibling folder now a link",
     "d\\x\\1.tmp",
     "rm -rf d/y && ln -s \"$PWD/../victim\" d/y",
     {"x", "y"},
     "Deleted: 1KB"},
    // Before Windows 10 1803 each file is reached folder by folder: a folder
    // kept open reaches the folder checked, whatever its name leads to now.
    {"kept folder now a link",
     "d\\x\\1.tmp",
     kTopNowLink,
     {"2.tmp"},
     "Deleted: 3KB",
     kOlderWindows},
    // A subst drive names its files from its real volume's root: the same walk.
    {"kept folder now a link on a subst drive",
     "d\\x\\1.tmp",
     kTopNowLink,
     {"2.tmp"},
     "Deleted: 3KB",
     {.Subst = true}},
    // The one open from the root crosses no reparse point: refused, the walk
    // refuses the junction.
    {"folder now a junction", "", "", {"x", "y", "y\\2.tmp"}, "Deleted: 1KB"},
    // A server follows a junction on the way itself: only the walk sees it.
    {"folder now a junction on a share", "", "", {"x", "y", "y\\2.tmp"}, "Deleted: 1KB", kShare},
    // The link leads to a second name of the file found, with its ID: the
    // open is refused (Windows), or reaches another path than the one asked
    // (Wine), and the walk refuses the link.
    {"folder now a link to a second name of the file",
     "",
     kSecondName,
     {"x", "y", "y.old", "y.old\\2.tmp"},
     "Deleted: 1KB"},
    {"folder now a link to a second name of the file as Wine crosses it",
     "",
     kSecondName,
     {"x", "y", "y.old", "y.old\\2.tmp"},
     "Deleted: 1KB",
     {.DontReparseIgnored = true}},
    // Where IDs last, only the path it reached tells the link crossed.
    {"second name where IDs last", "", kSecondName, kOldThere, "Deleted: 1KB", kWineIds},
    // The folders are listed again from the root, each checked as the walk
    // checked it: the top one first, before anything is listed.
    {"top folder now another before the pattern pass lists it",
     "",
     "mv d d.old && mkdir d && mv d.old/x d/x",
     {"x", "x\\1.tmp"},
     "Deleted: 0KB",
     {},
     nullptr,
     0,
     true},
    // Checked, then swapped: the handle deletes what was checked, never what
    // the name leads to now (Wine keeps a file renamed since its open).
    {"file swapped after its check",
     "d\\y\\2.tmp",
     "mv d/y/2.tmp d/y/2.old && ln -s \"$PWD/../victim/2.tmp\" d/y/2.tmp",
     {"x", "y", "y\\2.old", "y\\2.tmp"},
     "Deleted: 3KB",
     kOlderWindows},
};

void PrintTo(const Swap& swap, std::ostream* out) { *out << swap.Case; }

class RemovalChecks : public RemovalTest, public ::testing::WithParamInterface<Swap> {
  protected:
    // The links a swap made go from the host, which never follows them.
    void TearDown() override {
        RunHostScript(drive_, "rm -rf d");
        RemovalTest::TearDown();
    }
};

TEST_P(RemovalChecks, LeaveTheFileBehindASwap) {
    const Swap& swap = GetParam();
    File("d\\x\\1.tmp", 1024);
    File("d\\y\\2.tmp", 2048);
    MakeDir(root_ + "\\victim");
    WriteFile(root_ + "\\victim\\2.tmp", "precious");
    std::optional<PlayedVolume> played(std::in_place, drive_, swap.Volume);
    dv::TSForm& form = ScanForm({swap.PatternAddedInScan ? "*.none" : "*.tmp"});
    bool swapped = false;
    const auto swapNow = [&] {
        if (swap.DiskAfterScan)
            played.emplace(drive_, *swap.DiskAfterScan);
        else if (*swap.Script)
            return RunHostScript(drive_, swap.Script);
        else
            played->Play("d\\y", {.Tag = kJunction});
        return true;
    };
    std::optional<PatternAddedDuringScan> added;
    if (swap.PatternAddedInScan) {
        added.emplace(form, "*.tmp");
        added->AtSearch = [&] { swapped = swapNow(); };
    }
    form.bScanClick();
    EXPECT_EQ(form.ListFiles.Count(), swap.Found);
    form.bSelAllClick();

    if (*swap.AtOpen)
        played->AfterOpen = [&](const std::string& opened) {
            if (opened == swap.AtOpen && !swapped)
                swapped = swapNow();
        };
    else if (!swap.PatternAddedInScan)
        swapped = swapNow();
    form.bDeleteClick();

    ASSERT_TRUE(swapped);
    EXPECT_EQ(TreeListing(drive_ + "\\d"), swap.Drive);
    EXPECT_EQ(ReadFile(root_ + "\\victim\\2.tmp"), "precious");
    EXPECT_EQ(form.Label9.Caption(), swap.Deleted);
    EXPECT_EQ(form.ListFiles.Count(), 0);
}

INSTANTIATE_TEST_SUITE_P(Swapped, RemovalChecks, ::testing::ValuesIn(kSwaps),
                         [](const ::testing::TestParamInfo<Swap>& info) {
                             std::string name = info.param.Case;
                             std::erase(name, ' ');
                             return name;
                         });

// A found file on a share is reached from the share's root, "\\server\share".
TEST_F(RemovalTest, AFileOnAShareIsReachedFromTheShare) {
    const std::string unc = HostPath("C:\\") + "../dosdevices/unc";
    ASSERT_TRUE(RunHostScript(root_, "mkdir -p \"" + unc + "/srv\" && ln -sfn \"$PWD/drive\" \"" +
                                         unc + "/srv/share\""));
    File("dir\\on share.tmp", 2048);
    dv::TSForm& form = Form();
    form.FoundFiles.Insert(L"on share.tmp", L"\\\\srv\\share\\dir", 2);
    form.ListFiles.SetCount(form.FoundFiles.Count());
    form.bSelAllClick();
    form.bDeleteClick();
    RunHostScript(root_, "rm -f \"" + unc + "/srv/share\"");
    EXPECT_FALSE(PathExists(drive_ + "\\dir\\on share.tmp"));
    EXPECT_EQ(form.Label9.Caption(), "Deleted: 2KB");
}

} // namespace
