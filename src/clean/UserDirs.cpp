// The user directory list: add, remove, save, and the selected path as hint.
#include "app/Application.h"
#include "app/Errors.h"
#include "app/Modal.h"
#include "app/Strings.h"
#include "clean/UnitSysDir.h"
#include "ui/UnitMainForm.h"

#include <windows.h>

namespace dv {

void TSForm::RequireSysDir() const {
    if (!SysDir)
        throw Exception("The cleaning targets were not loaded at start-up");
}

void TSForm::ButtonBrowseClick() {
    std::string chosen;
    if (Modal().BrowseForFolder(hwnd_, "Select Directory", chosen))
        ListBox1.Add(chosen);
}

void TSForm::ButtonRemoveClick() {
    int selected = ListBox1.ItemIndex();
    if (ListBox1.Count() == 0 || selected < 0)
        return;
    RequireSysDir();
    const std::string entry = UpperAscii(ListBox1.Item(selected));
    SysDir->ReadFolders();
    const std::pair<const std::string*, ui::TCheckBox*> systemFolders[] = {
        {&SysDir->FTempDir, &CheckBox1},    {&SysDir->FRecentDir, &CheckBox2},
        {&SysDir->FCacheDir, &CheckBox3},   {&SysDir->FHistoryDir, &CheckBox4},
        {&SysDir->FCookiesDir, &CheckBox5},
    };
    ui::TCheckBox* match = nullptr;
    for (const auto& [path, box] : systemFolders)
        if (UpperAscii(*path) == entry)
            match = box;
    // A system folder is dropped from cleaning by unticking its box, not by
    // removing its entry.
    if (match)
        match->SetChecked(false);
    else
        ListBox1.Delete(selected);
}

void TSForm::ButtonSaveClick() {
    if (ListBox1.Count() > 0)
        SaveTextList(UserDirFile(), ListBox1.Items());
    else
        DeleteFileA(UserDirFile().c_str());
}

void TSForm::ListBox1Click() {
    int selected = ListBox1.ItemIndex();
    if (selected >= 0)
        ListBox1.Hint = AnsiToWide(ListBox1.Item(selected));
}

} // namespace dv
