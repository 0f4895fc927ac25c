// Removing found files: the ticked items are deleted from disk and leave the
// list; the kilobytes freed go to the freed-space total.
#include "ui/UnitMainForm.h"

#include <windows.h>

#include <cstdlib>

namespace dv {

namespace {

// Up to this many items leave the list one by one; more, and the list is
// built again from the items that stay, so the time grows with the list's
// length and not with its square.
const size_t kFewItems = 32;

struct FoundItem {
    std::string Name, Dir, Size;
    bool Selected;
};

} // namespace

void TSForm::bDeleteClick() {
    if (scanning_)
        return;
    Label9.SetVisible(false);
    const int count = ListFiles.Count();
    ProgressBar2.SetRange(0, count);
    ProgressBar2.SetStep(1);
    ProgressBar2.SetPosition(0);
    ProgressBar2.SetVisible(true);

    int64_t total = 0;
    std::vector<int> ticked;
    for (int i = 0; i < count; ++i) {
        if (!ListFiles.Checked(i))
            continue;
        const std::string path = ListFiles.SubItem(i, 1) + "\\" + ListFiles.Caption(i);
        StatusBar1.SetPanelText(0, path);
        StatusBar1.Repaint();
        // Attributes are left as they are: a read-only file stays.
        if (DeleteFileA(path.c_str()))
            total += std::strtoll(ListFiles.SubItem(i, 2).c_str(), nullptr, 10);
        listedFiles_.erase(path);
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
    refillingFiles_ = true;
    ListFiles.BeginUpdate();
    struct Refilled {
        TSForm& form;
        ~Refilled() {
            form.ListFiles.EndUpdate();
            form.refillingFiles_ = false;
        }
    } refilled{*this};

    if (positions.size() <= kFewItems) {
        for (auto position = positions.rbegin(); position != positions.rend(); ++position)
            ListFiles.Delete(*position);
        return;
    }
    std::vector<FoundItem> staying;
    auto next = positions.begin();
    for (int i = 0, n = ListFiles.Count(); i < n; ++i) {
        if (next != positions.end() && *next == i) {
            ++next;
            continue;
        }
        staying.push_back({ListFiles.Caption(i), ListFiles.SubItem(i, 1), ListFiles.SubItem(i, 2),
                           ListFiles.Selected(i)});
    }
    ListFiles.Clear();
    for (const FoundItem& item : staying) {
        const int at = ListFiles.Insert(ListFiles.Count(), item.Name, {item.Dir, item.Size});
        if (item.Selected)
            ListFiles.SetSelected(at, true);
    }
}

void TSForm::ClearFoundFiles() {
    refillingFiles_ = true;
    ListFiles.Clear();
    refillingFiles_ = false;
    listedFiles_.clear();
}

void TSForm::bSelAllClick() {
    // Index -1 sets the tick of every item at once.
    if (ListFiles.Count() > 0)
        ListFiles.SetChecked(-1, true);
}

void TSForm::bClearAllClick() {
    if (ListFiles.Count() > 0)
        ListFiles.SetChecked(-1, false);
}

void TSForm::ListFilesSelectItem(int index, bool /*selected*/) {
    if (refillingFiles_ || index < 0 || index >= ListFiles.Count())
        return;
    ListFiles.Hint = ListFiles.SubItem(index, 1) + "\\" + ListFiles.Caption(index);
}

} // namespace dv
