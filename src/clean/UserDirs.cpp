// The user directory list: add, remove, save, and the selected path as hint.
#include "app/Application.h"
#include "app/Errors.h"
#include "app/Modal.h"
#include "app/Strings.h"
#include "clean/UnitSysDir.h"
#include "ui/UnitMainForm.h"

#include <windows.h>

namespace dv {

namespace {

const char kUnspellableFolder[] =
    "This folder was not added: its path holds characters that the list of folders cannot "
    "keep. Choose a folder whose path uses only the characters of the system's code page, or "
    "rename this one.";

} // namespace

void TSForm::RequireSysDir() const {
    if (!SysDir)
        throw Exception("The cleaning targets were not loaded at start-up");
}

void TSForm::ButtonBrowseClick() {
    std::wstring chosen;
    if (!Modal().BrowseForFolder(hwnd_, L"Select Directory", chosen))
        return;
    // "dv.ini" keeps the list in the ANSI code page: a path it cannot spell
    // would come back as another folder's, and that one would be emptied.
    std::string stored;
    if (ExactAnsi(chosen, stored))
        ListBox1.Add(chosen);
    else
        Modal().MessageBox(hwnd_, kUnspellableFolder, Application.Title, MB_OK | MB_ICONWARNING);
}

void TSForm::ButtonRemoveClick() {
    int selected = ListBox1.ItemIndex();
    if (ListBox1.Count() == 0 || selected < 0)
        return;
    RequireSysDir();
    const std::wstring entry = UpperAscii(ListBox1.WideItem(selected));
    SysDir->ReadFolders();
    const std::pair<const std::wstring*, ui::TCheckBox*> systemFolders[] = {
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
    if (ListBox1.Count() == 0) {
        DeleteFileW(UserDirFile().c_str());
        return;
    }
    StringList lines;
    for (const std::wstring& entry : ListBox1.WideItems()) {
        // Every entry came from the file or was checked when added; one that
        // cannot be stored as it is would be another folder when read back.
        if (!ExactAnsi(entry, lines.emplace_back()))
            throw EFCreateError(WideToAnsi(UserDirFile()));
    }
    SaveTextList(UserDirFile(), lines);
}

void TSForm::ListBox1Click() {
    int selected = ListBox1.ItemIndex();
    if (selected >= 0)
        ListBox1.Hint = ListBox1.WideItem(selected);
}

} // namespace dv
