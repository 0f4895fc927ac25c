// ListFiles as the view of the found-file store: its texts, ticks, selection
// hint, and "Select all" / "Unselect all".
#include "ui/UnitMainForm.h"

namespace dv {

void TSForm::ClearFoundFiles() {
    ListFiles.Clear();
    FoundFiles.Clear();
    ListTmp.ForgetStoreFolders();
}

void TSForm::bSelAllClick() { TickAllFoundFiles(true); }

void TSForm::bClearAllClick() { TickAllFoundFiles(false); }

void TSForm::TickAllFoundFiles(bool ticked) {
    if (FoundFiles.Count() == 0)
        return;
    FoundFiles.SetAllTicked(ticked);
    ListFiles.Refresh();
}

void TSForm::ListFilesSelectItem(int index, bool /*selected*/) {
    if (index < 0 || index >= FoundFiles.Count())
        return;
    ListFiles.Hint = FoundFiles.Path(index);
}

void TSForm::ListFilesCheck(int index, bool ticked) {
    if (index < 0)
        FoundFiles.SetAllTicked(ticked);
    else if (index < FoundFiles.Count())
        FoundFiles.SetTicked(index, ticked);
}

bool TSForm::FoundFileTicked(int index) const {
    return index >= 0 && index < FoundFiles.Count() && FoundFiles.Ticked(index);
}

std::wstring TSForm::FoundFileText(int index, int column) const {
    if (index < 0 || index >= FoundFiles.Count())
        return {};
    switch (column) {
    case 0:
        return std::wstring(FoundFiles.Name(index));
    case 1:
        return FoundFiles.Directory(index);
    default:
        return std::to_wstring(FoundFiles.KB(index));
    }
}

} // namespace dv
