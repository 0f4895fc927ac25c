// The removal and the clean under the answers of other volumes and accounts:
// what is deleted, what is counted, and that nothing stops the run.
#include "PlayedVolume.h"
#include "ScanFixture.h"

using namespace dvtest;
using Listing = std::vector<std::string>;

namespace {

struct Outcome {
    Listing AfterRemoval;
    std::string Removed;
    Listing AfterClean;
    std::string Cleaned;
};

// Everything goes but the read-only file, which only the clean deletes.
const Outcome kAllDeleted = {{"ro.tmp", "sub", "sub\\c.dat"}, "Deleted: 5KB", {}, "4KB cleaned"};
// The subfolder is passed over by the scan and the clean, without a word.
const Outcome kSubfolderPassedOver = {{"ro.tmp", "sub", "sub\\b.tmp", "sub\\c.dat"},
                                      "Deleted: 2KB",
                                      {"sub", "sub\\b.tmp", "sub\\c.dat"},
                                      "3KB cleaned"};

struct Row {
    const char* Case;
    VolumePlay Volume;
    std::vector<std::pair<std::string, EntryPlay>> Entries; // below the drive
    Outcome Expected;
    int PosixDeletions = 0;
};

const Row kRows[] = {
    {"FAT32", {0xFA7, true, true, false, true}, {}, kAllDeleted},
    {"share without file IDs", {0x5EA, true, false, true, true}, {}, kAllDeleted},
    // Granted on the drive after the real volume refused it: asked per volume.
    {"POSIX deletion granted", {0x7F5, false, false, false, false, true}, {}, kAllDeleted, 5},
    {"file links", {}, {{"v\\a.tmp", {0, 0, true}}, {"v\\sub\\c.dat", {0, 0, true}}}, kAllDeleted},
    {"listing refused", {}, {{"v\\sub", {0, dv::kStatusAccessDenied}}}, kSubfolderPassedOver},
    {"held without sharing",
     {},
     {{"v\\sub", {0, dv::kStatusSharingViolation}}},
     kSubfolderPassedOver},
    {"delete pending", {}, {{"v\\sub", {dv::kStatusDeletePending}}}, kSubfolderPassedOver},
    {"now a file", {}, {{"v\\sub", {dv::kStatusNotADirectory}}}, kSubfolderPassedOver},
};

void PrintTo(const Row& row, std::ostream* out) { *out << row.Case; }

class VolumeAnswers : public RemovalTest, public ::testing::WithParamInterface<Row> {};

TEST_P(VolumeAnswers, DeleteAndCountWhatTheyMayAndPassOverTheRest) {
    const Row& row = GetParam();
    File("v\\a.tmp", 2048);
    File("v\\ro.tmp", 1024, FILE_ATTRIBUTE_READONLY);
    File("v\\sub\\b.tmp", 3072);
    File("v\\sub\\c.dat", 1024);
    // Real targets before and after the played one.
    for (const char* real : {"\\areal", "\\zreal"}) {
        MakeDir(root_ + real);
        WriteFile(root_ + real + "\\x.dat", std::string(1024, 'x'));
    }
    PlayedVolume played(drive_, row.Volume);
    for (const auto& [relative, entry] : row.Entries)
        played.Play(relative, entry);

    dv::TSForm& form = ScanForm({"*.tmp"});
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
}

INSTANTIATE_TEST_SUITE_P(Played, VolumeAnswers, ::testing::ValuesIn(kRows),
                         [](const ::testing::TestParamInfo<Row>& info) {
                             std::string name = info.param.Case;
                             std::erase(name, ' ');
                             return name;
                         });

} // namespace
