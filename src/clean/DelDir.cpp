// Emptying one cleaning target: the walk by handle does the file work on the
// clean's worker; the window shows each deleted file and counts its kilobytes.
#include "app/Errors.h"
#include "app/LongPaths.h"
#include "app/Strings.h"
#include "clean/CleanTarget.h"
#include "clean/EmptyTree.h"
#include "ui/UnitMainForm.h"

namespace dv {

namespace {

class ProgressTeller : public TreeEmptyingObserver {
  public:
    explicit ProgressTeller(TRunProgress& progress) : progress_(progress) {}
    void FileDeleted(const std::wstring& name, uint64_t size) override {
        progress_.Freed(SizeToKB(size));
        progress_.Show(name);
    }
    void EntryReached() override { progress_.StopPoint(); }

  private:
    TRunProgress& progress_;
};

} // namespace

void EmptyCleaningTarget(const std::wstring& path, const TProtectedFolders& guard,
                         TRunProgress& progress) {
    // A root named as one is refused unopened: opening a drive without its
    // medium, or a lost share, can stall or ask for a disk.
    if (!path.empty() && IsRootPath(FullPath(path)))
        throw EInOutError(ERROR_ACCESS_DENIED);
    FileHandle target = OpenTarget(path);
    // Judged by the folder the open reached, through whatever link or name.
    if (guard.Protects(target.Get()))
        throw EInOutError(ERROR_ACCESS_DENIED);
    // The target is the one folder ever entered, once, and the run leaves the
    // current directory there. Entered first, so that no folder below is held
    // as the current directory of an earlier run.
    if (path.size() <= kShortPathLimit)
        SetCurrentDirectoryW(path.c_str());
    ProgressTeller teller(progress);
    EmptyTree(target.Get(), teller);
}

void TSForm::DelDir(const std::wstring& directory, const std::wstring& name) {
    const std::wstring working = name.empty() ? directory : directory + L"\\" + name;
    TRunProgress progress;
    RunClean(progress, 0, [&] { EmptyCleaningTarget(working, TProtectedFolders(), progress); });
}

} // namespace dv
