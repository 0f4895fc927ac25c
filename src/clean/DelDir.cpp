// Emptying one cleaning target: the walk by handle does the file work; the
// window shows each deleted file and counts its kilobytes.
#include "app/LongPaths.h"
#include "app/Strings.h"
#include "clean/EmptyTree.h"
#include "ui/UnitMainForm.h"

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

  private:
    TSForm& form_;
};

} // namespace

void TSForm::DelDir(const std::wstring& directory, const std::wstring& name) {
    const std::wstring working = name.empty() ? directory : directory + L"\\" + name;
    FileHandle target = OpenTarget(working);
    // The target is the one folder ever entered, once, and the run leaves the
    // current directory there. Entered first, so that no folder below is held
    // as the current directory of an earlier run.
    if (working.size() <= kShortPathLimit)
        SetCurrentDirectoryW(working.c_str());
    ProgressLabel progress(*this);
    EmptyTree(target.Get(), progress);
}

} // namespace dv
