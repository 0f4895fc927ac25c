// Removing found files: the ticked items are deleted from disk and leave the
// list; the kilobytes freed go to the freed-space total.
#include "app/RunProgress.h"
#include "scan/FoundFileRemoval.h"
#include "ui/UnitMainForm.h"

#include <windows.h>

namespace dv {

void TSForm::bDeleteClick() {
    if (scanning_)
        return;
    Label9.SetVisible(false);
    const int count = FoundFiles.Count();
    ProgressBar2.SetRange(0, count);
    ProgressBar2.SetStep(1);
    ProgressBar2.SetPosition(0);
    ProgressBar2.SetVisible(true);

    // The ticks as the run starts; the worker reads the store, which nothing
    // changes while the run holds the input.
    std::vector<int> ticked;
    for (int i = 0; i < count; ++i)
        if (FoundFiles.Ticked(i))
            ticked.push_back(i);
    TRunProgress progress;
    RunRemoval(progress, [&] {
        TFoundFileRemover remover(FoundFiles);
        for (int i : ticked) {
            progress.StopPoint();
            const FoundFile file = FoundFiles[i];
            const std::wstring dir = FoundFiles.Directory(i);
            progress.Show(dir + L"\\" + file.Name);
            if (remover.Delete(dir, file))
                progress.Freed(file.KB);
            progress.Step();
        }
    });
    if (SessionEnded())
        return;
    RemoveFoundItems(ticked);

    const int64_t total = progress.Read().Kilobytes;
    UpdateDel(total);
    ProgressBar2.SetVisible(false);
    Label9.SetCaption("Deleted: " + std::to_string(total) + "KB");
    Label9.SetVisible(true);
}

void TSForm::RemoveFoundItems(const std::vector<int>& positions) {
    if (positions.empty())
        return;
    FoundFiles.Remove(positions);
    ListFiles.Removed(positions, FoundFiles.Count());
}

} // namespace dv
