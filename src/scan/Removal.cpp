// Removing found files: the ticked items are deleted from disk and leave the
// list; the kilobytes freed go to the freed-space total.
#include "app/QueueLook.h"
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

    int64_t total = 0;
    std::vector<int> ticked;
    TFoundFileRemover remover(FoundFiles);
    TQueueLook queueLook;
    for (int i = 0; i < count; ++i) {
        queueLook.Now();
        if (!FoundFiles.Ticked(i))
            continue;
        const FoundFile file = FoundFiles[i];
        const std::wstring dir = FoundFiles.Directory(i);
        StatusBar1.SetPanelText(0, dir + L"\\" + file.Name);
        StatusBar1.Repaint();
        if (remover.Delete(dir, file))
            total += file.KB;
        ticked.push_back(i);
        ProgressBar2.StepIt();
        ProgressBar2.Repaint();
    }
    RemoveFoundItems(ticked);

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
