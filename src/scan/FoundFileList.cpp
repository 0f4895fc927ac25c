// ListFiles as the view of the found-file store: its texts, ticks, selection
// hint, and "Select all" / "Unselect all".
#include "ui/UnitMainForm.h"

namespace dv {

void TSForm::ShowFoundFiles() {
    ListFiles.Clear();
    ListFiles.Reserve(FoundFiles.Count());
    for (int i = 0, n = FoundFiles.Count(); i < n; ++i)
        ListFiles.Insert(i, FoundFiles[i].Ticked);
}

void TSForm::ClearFoundFiles() {
    refillingFiles_ = true;
    ListFiles.Clear();
    refillingFiles_ = false;
    FoundFiles.Clear();
}

void TSForm::bSelAllClick() { TickAllFoundFiles(true); }

void TSForm::bClearAllClick() { TickAllFoundFiles(false); }

void TSForm::TickAllFoundFiles(bool ticked) {
    if (FoundFiles.Count() == 0)
        return;
    FoundFiles.SetAllTicked(ticked);
    // Painted once at the end instead of item by item.
    ListFiles.BeginUpdate();
    ListFiles.SetAllChecked(ticked);
    ListFiles.EndUpdate();
}

void TSForm::ListFilesSelectItem(int index, bool /*selected*/) {
    if (refillingFiles_ || index < 0 || index >= FoundFiles.Count())
        return;
    ListFiles.Hint = FoundFiles.Path(index);
}

void TSForm::ListFilesCheck(int index, bool ticked) {
    if (index < 0)
        FoundFiles.SetAllTicked(ticked);
    else if (index < FoundFiles.Count())
        FoundFiles.SetTicked(index, ticked);
}

std::wstring TSForm::FoundFileText(int index, int column) const {
    if (index < 0 || index >= FoundFiles.Count())
        return {};
    switch (column) {
    case 0:
        return FoundFiles[index].Name;
    case 1:
        return FoundFiles.Directory(index);
    default:
        return std::to_wstring(FoundFiles[index].KB);
    }
}

} // namespace dv
