// The removal and the clean under the answers of other volumes and accounts:
// what is deleted, what is counted, and that nothing stops the run.
#include "PlayedVolume.h"
#include "ScanFixture.h"
#include "scan/FolderSearch.h"

#include <optional>

using namespace dvtest;
using Listing = std::vector<std::string>;

namespace {

struct Outcome {
    Listing AfterRemoval;
    std::string Removed;
    Listing AfterClean;
    std::string Cleaned;
};

// Everything goes but the read-only file, which only the clean deletes. The
// removal also takes a file from a real drive listed before the played one.
const Outcome kAllDeleted = {
    {"j", "ro.tmp", "sub", "sub\\c.dat"}, "Deleted: 6KB", {}, "4KB cleaned"};
// The subfolder is passed over by the scan and the clean, without a word.
const Outcome kSubPassedOver = {{"j", "ro.tmp", "sub", "sub\\b.tmp", "sub\\c.dat"},
                                "Deleted: 3KB",
                                {"sub", "sub\\b.tmp", "sub\\c.dat"},
                                "3KB cleaned"};
// The folder link j stays, never entered.
const Outcome kLinkKept = {
    {"j", "ro.tmp", "sub", "sub\\c.dat"}, "Deleted: 6KB", {"j"}, "4KB cleaned"};
// b.tmp, swapped since its listing, stays, and so does its folder.
const Outcome kSwappedFileKept = {{"j", "ro.tmp", "sub", "sub\\b.tmp", "sub\\c.dat"},
                                  "Deleted: 3KB",
                                  {"sub", "sub\\b.tmp"},
                                  "4KB cleaned"};
// Everything in v stays: the scan passed it over. The clean empties it.
const Outcome kDrivesFolderPassedOver = {
    {"a.tmp", "j", "ro.tmp", "sub", "sub\\b.tmp", "sub\\c.dat"}, "Deleted: 1KB", {}, "9KB cleaned"};
// a.tmp, which cannot be checked, and b.tmp, swapped, stay.
const Outcome kTwoFilesKept = {{"a.tmp", "j", "ro.tmp", "sub", "sub\\b.tmp", "sub\\c.dat"},
                               "Deleted: 1KB",
                               {"a.tmp", "sub", "sub\\b.tmp"},
                               "4KB cleaned"};
// a.tmp, refused to this account, stays.
const Outcome kRefusedFileKept = {
    {"a.tmp", "j", "ro.tmp", "sub", "sub\\c.dat"}, "Deleted: 4KB", {"a.tmp"}, "4KB cleaned"};

struct Row {
    const char* Case;
    VolumePlay Volume;
    std::vector<std::pair<std::string, EntryPlay>> Entries; // below the drive
    Outcome Expected;
    int PosixDeletions = 0;
    bool PatternAddedInScan = false; // after the walk took the patterns: folders listed again
};

const VolumePlay kNoIds = {.NoFileIds = true};
const VolumePlay kTwoIdKinds = {.HandleIdBits = uint64_t(5) << 60, .RootWithoutDot = true};
const uint64_t kHighBits = uint64_t(5) << 60;
const VolumePlay kReFSStatBits = {
    .StatIdBits = kHighBits, .WideIds = true, .NarrowIdsVary = true, .RootWithoutDot = true};
const VolumePlay kDotless = {.RootWithoutDot = true},
                 kWideDotted = {.WideIds = true, .NarrowIdsVary = true};
const VolumePlay kWideListingsOnly = {.WideIdRefusal = kStatusInvalidParameter, .WideIds = true};
const NTSTATUS kInvalid = kStatusInvalidParameter, kBusy = kStatusInsufficientResources;
const EntryPlay kSwap = {.OtherId = true}, kHighSwap = {.OtherHighId = true},
                kBusyIds = {.Refusal = kBusy}, kInvalidIds = {.Refusal = kInvalid},
                kWideBusy = {.WideListingRefusal = kBusy},
                kWideInvalid = {.WideListingRefusal = kInvalid};
const char kA[] = "v\\a.tmp", kB[] = "v\\sub\\b.tmp", kSub[] = "v\\sub";
const VolumePlay kNoStatNorAll = {.StatRefusal = kInvalid, .AllRefusal = kInvalid},
                 kNarrowOnes = {.WideIdRefusal = kInvalid, .Serial = 1, .IdsAllOnes = true};

const Row kRows[] = {
    {"FAT32", kFat, {}, kAllDeleted},
    {"share without file IDs",
     {.StatRefusal = kStatusInvalidInfoClass, .NoFileIds = true, .PosixRefused = true},
     {},
     kAllDeleted},
    // Granted on a volume with the serial number of Wine's, which refuses it.
    {"POSIX deletion granted", {.PosixGranted = true}, {}, kAllDeleted, 6},
    {"POSIX deletion not offered", {.PosixGranted = true, .PosixUnoffered = true}, {}, kAllDeleted},
    {"deletion refused to this account",
     {.PosixGranted = true},
     {{"v\\a.tmp", {.DeleteRefused = dv::kStatusAccessDenied}}},
     kRefusedFileKept,
     5},
    // Every found file reached folder by folder, none in one open.
    {"Windows before 1803", {.DontReparseRefused = true}, {}, kAllDeleted},
    {"level unknown to a server", {.StatRefusal = kStatusInvalidLevel}, {}, kAllDeleted},
    {"class refused by a filter", {.StatRefusal = dv::kStatusAccessDenied}, {}, kAllDeleted},
    {"listing and handle IDs of two kinds", {.HandleIdBits = uint64_t(5) << 60}, {}, kAllDeleted},
    {"two ID kinds and a root without a dot", kTwoIdKinds, {}, kAllDeleted},
    {"pattern added during the scan on two ID kinds", kTwoIdKinds, {}, kAllDeleted, 0, true},
    {"ReFS", kReFS, {}, kAllDeleted},
    {"folder swapped on ReFS", kReFS, {{"v\\sub", {.OtherId = true}}}, kSubPassedOver},
    {"folder below the root swapped on ReFS",
     kReFS,
     {{"v", {.OtherId = true}}},
     kDrivesFolderPassedOver},
    {"folder ID refused for a moment on ReFS",
     kReFS,
     {{"v\\sub", {.Refusal = kStatusInsufficientResources}}},
     kSubPassedOver},
    // Refused after others answered: that entry alone cannot be checked.
    {"file ID refused as invalid on ReFS", kReFS, {{kB, kInvalidIds}}, kSwappedFileKept},
    // The removal keeps what the scan heard answer: the first file refused stays alone.
    {"first file ID refused as invalid on ReFS", kReFS, {{kA, kInvalidIds}}, kRefusedFileKept},
    {"listing counting fewer bytes", {}, {{kSub, {.FirstRecordCounted = true}}}, kSubPassedOver},
    {"listing ending in no bytes", {}, {{kSub, {.EndsInNoBytes = true}}}, kAllDeleted},
    {"listing whose next offset wraps", {}, {{kSub, {.NextOffsetWraps = true}}}, kSubPassedOver},
    // Cut inside its last head, and 2 bytes into its last name (a 64-bit listing's).
    {"listing cut in its last head", {}, {{kSub, {.LastRecordCut = 8}}}, kSubPassedOver},
    {"listing cut in its last name", {}, {{kSub, {.LastRecordCut = 106}}}, kSubPassedOver},
    {"all at once unknown", {.AllRefusal = kStatusInvalidInfoClass}, {}, kAllDeleted},
    {"stat and all at once unknown and a swap", kNoStatNorAll, {{kB, kSwap}}, kSwappedFileKept},
    {"name told longer than any", {}, {{kA, {.NameTooLong = true}}}, kAllDeleted},
    // "No ID" alike for v and the drive's root: the clean's guard goes by path.
    {"IDs all ones", {.IdsAllOnes = true}, {}, kAllDeleted},
    {"narrow IDs all ones", kNarrowOnes, {}, kAllDeleted},
    {"listing refused as invalid on ReFS", kReFS, {{kSub, kWideInvalid}}, kSubPassedOver},
    {"busy file ID then a swap on ReFS", kReFS, {{kA, kBusyIds}, {kB, kSwap}}, kTwoFilesKept},
    {"swap of the same low ID on ReFS", kReFS, {{kB, kHighSwap}}, kSwappedFileKept},
    // The 64-bit IDs serve where handles give no 128-bit ones.
    {"no wide IDs of handles", kWideListingsOnly, {{"v", kSwap}}, kDrivesFolderPassedOver},
    // Only a listing in the richest class teaches the kinds: here v's.
    {"first wide listing busy on ReFS", kReFS, {{"t", kWideBusy}, {kSub, kSwap}}, kSubPassedOver},
    {"root listing busy", kWideDotted, {{"", kWideBusy}, {kSub, kSwap}}, kSubPassedOver},
    {"stat and internal narrow IDs differ", {.StatIdBits = kHighBits}, {}, kAllDeleted},
    {"stat and internal narrow IDs differ on ReFS", kReFSStatBits, {}, kAllDeleted},
    {"internal narrow IDs other than the listed", {.InternalIdBits = kHighBits}, {}, kAllDeleted},
    // Its own "." teaches the kinds; the root's entry for it is what gets checked.
    {"first of a dotless root swapped", kDotless, {{"t", kSwap}, {kSub, kSwap}}, kSubPassedOver},
    // A file's stat and tag refused for a moment: it stays, and the classes
    // still serve the entries after it.
    {"classes refused for a moment",
     {},
     {{kA, kBusyIds}, {kSub, {.Tag = kProjectedFolder}}, {kB, kSwap}},
     kTwoFilesKept},
    {"folder swapped where IDs agree", {}, {{"v\\sub", {.OtherId = true}}}, kSubPassedOver},
    {"junction", {}, {{"v\\j", {.Tag = kJunction, .Target = "t\\dir"}}}, kLinkKept},
    {"folder link", kNoIds, {{"v\\j", {.Tag = kSymbolicLink, .Target = "t\\dir"}}}, kLinkKept},
    {"file symbolic links",
     kNoIds,
     {{"v\\a.tmp", {.Tag = kSymbolicLink, .Target = "t\\file.dat"}},
      {"v\\sub\\c.dat", {.Tag = kSymbolicLink, .Target = "t\\file.dat"}}},
     kAllDeleted},
    {"WSL link", {}, {{"v\\a.tmp", {.Tag = kWslLink, .Target = "t\\file.dat"}}}, kAllDeleted},
    {"folder swapped for a junction after its listing",
     kNoIds,
     {{"v\\sub", {.Tag = kJunction, .ListedPlain = true}}},
     kSubPassedOver},
    // Neither stands for another path: a read-only socket file is cleared and
    // deleted, a projected folder walked.
    {"socket file", {}, {{"v\\ro.tmp", {.Tag = kSocketFile}}}, kAllDeleted},
    {"projected folder", {}, {{"v\\sub", {.Tag = kProjectedFolder}}}, kAllDeleted},
    // The empty folder j is removed all the same.
    {"listing refused",
     {},
     {{"v\\sub", {.ListingRefused = dv::kStatusAccessDenied}},
      {"v\\j", {.ListingRefused = dv::kStatusAccessDenied}}},
     kSubPassedOver},
    {"in use", {}, {{"v\\sub", {.ListingRefused = dv::kStatusSharingViolation}}}, kSubPassedOver},
    {"delete pending", {}, {{"v\\sub", {.OpenRefused = dv::kStatusDeletePending}}}, kSubPassedOver},
    {"now a file", {}, {{"v\\sub", {.OpenRefused = dv::kStatusNotADirectory}}}, kSubPassedOver},
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.Case; }

class VolumeAnswers : public RemovalTest, public ::testing::WithParamInterface<Row> {
  protected:
    void TearDown() override {
        UnmapDrive(kRealDrive);
        RemovalTest::TearDown();
    }
    static constexpr char kRealDrive[] = "T:";
};

TEST_P(VolumeAnswers, DeleteAndCountWhatTheyMayAndPassOverTheRest) {
    const Row& row = GetParam();
    File("v\\a.tmp", 2048);
    File("v\\ro.tmp", 1024, FILE_ATTRIBUTE_READONLY);
    File("v\\sub\\b.tmp", 3072);
    File("v\\sub\\c.dat", 1024);
    MakeDir(drive_ + "\\v\\j");
    // What links lead to, outside everything cleaned.
    File("t\\file.dat", 1024);
    File("t\\dir\\x.dat", 1024);
    // Real targets before and after the played one.
    for (const char* real : {"\\areal", "\\zreal"}) {
        MakeDir(root_ + real);
        WriteFile(root_ + real + "\\x.dat", std::string(1024, 'x'));
    }
    MakeDir(root_ + "\\real\\w");
    WriteFile(root_ + "\\real\\w\\0.tmp", std::string(1024, 'x'));
    ASSERT_TRUE(MapDrive(kRealDrive, root_ + "\\real"));
    PlayedVolume played(drive_, row.Volume);
    for (const auto& [relative, entry] : row.Entries)
        played.Play(relative, entry);

    dv::TSForm& form = ScanForm({row.PatternAddedInScan ? "*.none" : "*.tmp"});
    form.cDisks.Add(kRealDrive);
    form.cDisks.SetChecked(1, true);
    std::optional<PatternAddedDuringScan> added;
    if (row.PatternAddedInScan)
        added.emplace(form, "*.tmp");
    form.bScanClick();
    form.bSelAllClick();
    form.bDeleteClick();
    EXPECT_EQ(TreeListing(drive_ + "\\v"), row.Expected.AfterRemoval);
    EXPECT_EQ(form.Label9.Caption(), row.Expected.Removed);

    for (const char* target : {"\\areal", "\\drive\\v", "\\zreal"})
        form.ListBox1.Add(root_ + target);
    ClickAsUser(form.bCleanNow);
    EXPECT_EQ(Modal().Boxes.size(), 0u);
    EXPECT_EQ(TreeListing(drive_ + "\\v"), row.Expected.AfterClean);
    EXPECT_EQ(form.lprog.Caption(), row.Expected.Cleaned);
    EXPECT_EQ(played.PosixDeletions, row.PosixDeletions);
    EXPECT_EQ(TreeListing(drive_ + "\\t"), (Listing{"dir", "dir\\x.dat", "file.dat"}));
}

INSTANTIATE_TEST_SUITE_P(Played, VolumeAnswers, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             std::string name = info.param.Case;
                             std::erase(name, ' ');
                             return name;
                         });

// A drive's root teaches the walk which IDs its listings and handles give
// alike: from its own "." where it lists one (Wine), else from the first
// folder below it (Windows).
TEST_F(ScanTest, TheRootTeachesTheWalkItsIdKinds) {
    File("v\\a.tmp", 1);
    const struct {
        const char* Case;
        VolumePlay Volume;
        bool Learned;
        dv::IdKind Ids;
    } rows[] = {
        {"a root with a dot", {}, true, dv::IdKind::Narrow},
        {"a root without", {.RootWithoutDot = true}, true, dv::IdKind::Narrow},
        {"two kinds", kTwoIdKinds, true, dv::IdKind::None},
        {"ReFS", kReFS, true, dv::IdKind::Wide},
        {"no IDs", {.NoFileIds = true, .RootWithoutDot = true}, false, dv::IdKind::None},
        {"an empty FAT root", {.EmptyRoot = true}, false, dv::IdKind::None},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        PlayedVolume played(drive_, row.Volume);
        dv::FileHandle root;
        ASSERT_EQ(dv::OpenFolderByPath(W(kScanDrive) + L"\\", root), 0u);
        dv::Volume volume = dv::Volume::Of(root.Get());
        std::vector<dv::ListedEntry> entries;
        EXPECT_TRUE(dv::ReadListing(volume, root.Get(), entries));
        EXPECT_EQ(entries.size(), row.Volume.EmptyRoot ? 0u : 1u);
        EXPECT_EQ(volume.IdsLearned, row.Learned);
        EXPECT_EQ(volume.Ids, row.Ids);
    }
}

} // namespace
