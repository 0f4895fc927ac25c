// The folders no clean empties, where the system tells them otherwise than
// the plain rows of CleanRunTest: a drive letter over a folder, a disk of
// another serial number, a folder not in place when the run began.
#include "PlayedVolume.h"
#include "ScanFixture.h"
#include "TestSupport.h"

#include "app/LongPaths.h"

using dvtest::TreeListing;

namespace {

class CleanGuard : public dvtest::FormTest {
  protected:
    std::string Stocked(const std::string& path) {
        dvtest::MakeDir(path);
        dvtest::WriteFile(path + "\\file", std::string(1024, 'x'));
        return path;
    }
    // Empties Temp (ticked or not) and the user directories; the report.
    std::string Clean(bool temp, const std::vector<std::string>& directories) {
        dvtest::ResetModal();
        dv::TSForm& form = CreateForm();
        form.CheckBox1.SetChecked(temp);
        for (const std::string& directory : directories)
            if (!directory.empty())
                form.ListBox1.Add(directory);
        dvtest::ClickAsUser(form.bCleanNow);
        const auto& boxes = dvtest::Modal().Boxes;
        return boxes.empty() ? "" : boxes.back().Text;
    }
};

} // namespace

// Temp under a subst drive (T:, whose root is Temp) and a folder on another
// disk that gives the profile's ID are emptied; a drive's root after them
// still stops the run, even where it cannot tell its name from its root.
TEST_F(CleanGuard, WhatADriveLetterOrAnIdLeadsToIsJudgedByWhatItIs) {
    const std::string drive = Stocked(root_ + "\\drive"), other = Stocked(root_ + "\\disk\\folder");
    ASSERT_TRUE(dvtest::MakeDirectoryLink(root_ + "\\to-root", drive));
    struct Unmap {
        ~Unmap() { dvtest::UnmapDrive("W:"), dvtest::UnmapDrive("T:"); }
    } unmap;
    ASSERT_TRUE(dvtest::MapDrive("W:", drive) && dvtest::MapDrive("T:", tempDir_));
    Sleep(1100); // Wine names folders from its drives as it found them up to a second ago
    const struct {
        std::string Played, Emptied;
        dvtest::VolumePlay Volume;
    } cases[] = {{tempDir_, tempDir_, {.Subst = true}},
                 {root_ + "\\disk", other, {.Serial = 0xD15C}},
                 {drive, "", {.NameRefusal = dvtest::kStatusInvalidParameter}}};
    for (const auto& [played, emptied, volume] : cases) {
        SCOPED_TRACE(played);
        Stocked(tempDir_);
        dvtest::PlayedVolume playedVolume(played, volume);
        playedVolume.Play("folder", {.IdOf = getenv("USERPROFILE")});
        const bool temp = emptied == tempDir_;
        EXPECT_EQ(Clean(temp, {temp ? "" : emptied, root_ + "\\to-root"}), "File access denied.");
        EXPECT_TRUE(emptied.empty() || TreeListing(emptied).empty());
        EXPECT_FALSE(TreeListing(drive).empty());
    }
}

// A protected folder not in place when the run began is known by the path
// that names it, in any letters: absent, or reached through a link at a path
// too long to be told, on a disk without IDs. It comes into place while Temp
// is emptied.
TEST_F(CleanGuard, ProtectedFolderUntoldAtTheStartIsKnownByItsPath) {
    const std::string profile = root_ + "\\Profile", away = root_ + "\\" + std::string(250, 'x');
    struct Restore {
        std::string saved = getenv("USERPROFILE");
        ~Restore() { SetEnvironmentVariableA("USERPROFILE", saved.c_str()); }
    } restore;
    for (const bool linked : {false, true}) {
        SCOPED_TRACE(linked ? "linked" : "absent");
        Stocked(away + "\\me");
        ASSERT_TRUE(!linked || dvtest::MakeDirectoryLink(profile, away + "\\me"));
        Stocked(tempDir_);
        const std::string given = linked ? profile : root_ + "\\PROFILE";
        SetEnvironmentVariableA("USERPROFILE", given.c_str());
        dvtest::PlayedVolume volume(
            root_, {.WideIdRefusal = dvtest::kStatusInvalidParameter, .NoFileIds = true});
        volume.AfterOpen = [&](const std::string&) {
            dvtest::RemoveDirectoryLink(profile);
            MoveFileW(dv::ExtendedPath(dvtest::W(away + "\\me")).c_str(),
                      dvtest::W(profile).c_str());
        };
        EXPECT_EQ(Clean(true, {profile}), "File access denied.");
        EXPECT_FALSE(TreeListing(profile).empty());
        dvtest::RemoveTree(profile);
    }
}
