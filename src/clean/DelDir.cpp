// Emptying one cleaning target: the walk by handle does the file work; the
// window shows each deleted file and counts its kilobytes.
#include "app/Errors.h"
#include "app/LongPaths.h"
#include "app/QueueLook.h"
#include "app/Strings.h"
#include "clean/EmptyTree.h"
#include "clean/ProtectedFolders.h"
#include "ui/UnitMainForm.h"

#include <memory>

namespace dv {

namespace {

class ProgressLabel : public TreeEmptyingObserver {
  public:
    explicit ProgressLabel(TSForm& form) : form_(form) {}
    void FileDeleted(const std::wstring& name, uint64_t size) override {
        form_.CleanedKB += SizeToKB(size);
        form_.lprog.SetCaption(name);
        form_.lprog.Repaint();
    }
    void EntryReached() override { queueLook_.Now(); }

  private:
    TSForm& form_;
    TQueueLook queueLook_;
};

} // namespace

void TSForm::DelDir(const std::wstring& directory, const std::wstring& name) {
    const std::wstring working = name.empty() ? directory : directory + L"\\" + name;
    // A root named as one is refused unopened: opening a drive without its
    // medium, or a lost share, can stall or ask for a disk.
    if (!working.empty() && IsRootPath(FullPath(working)))
        throw EInOutError(ERROR_ACCESS_DENIED);
    FileHandle target = OpenTarget(working);
    // Judged by the folder the open reached, through whatever link or name.
    std::unique_ptr<TProtectedFolders> ownGuard;
    const TProtectedFolders* guard =
        runGuard_ ? runGuard_ : (ownGuard = std::make_unique<TProtectedFolders>()).get();
    if (guard->Protects(target.Get()))
        throw EInOutError(ERROR_ACCESS_DENIED);
    // The target is the one folder ever entered, once, and the run leaves the
    // current directory there. Entered first, so that no folder below is held
    // as the current directory of an earlier run.
    if (working.size() <= kShortPathLimit)
        SetCurrentDirectoryW(working.c_str());
    ProgressLabel progress(*this);
    EmptyTree(target.Get(), progress);
}

} // namespace dv
