// The scanner's two check lists: the file-type patterns, kept in "DVext.ini"
// beside the program, and the fixed drives.
#include "app/Application.h"
#include "app/Errors.h"
#include "app/Modal.h"
#include "app/Strings.h"
#include "app/TextListFile.h"
#include "scan/Unit1.h"
#include "ui/UnitMainForm.h"

#include <windows.h>

namespace dv {

namespace {

// clang-format off
const char* const kDefaultPatterns[] = {
    "*.BAK", "*.TMP", "*.OLD", "*.~*", "~*.*", "*.$$$", "*.---", "*.GID", "*.FTG", "*.FTS",
    "*.FND", "*.CHK", "*.DMP", "*.NCH", "*.DA0", "*.$DB", "*.DB$", "FILE_ID.DIZ", "ANTI-VIR.DAT",
};
// clang-format on

// Always beside the program: the clean run moves the current directory.
std::wstring ExtListFile() { return ProgramFolder() + L"DVext.ini"; }

// Drive letters beyond P are never offered.
const int kDriveLetters = 16;

const char kUnspellablePattern[] =
    "This file type was not added: it holds characters that the list of file types cannot "
    "keep. Type a file type that uses only the characters of the system's code page.";

} // namespace

void TSForm::FillDefaultPatterns() {
    cExt.Clear();
    for (const char* pattern : kDefaultPatterns)
        cExt.Add(pattern);
}

void TSForm::LoadExtList() {
    const std::wstring path = ExtListFile();
    if (!FileExists(path))
        return;
    const StringList patterns = LoadTextList(path);
    cExt.Clear();
    for (const std::string& pattern : patterns)
        cExt.Add(pattern);
}

void TSForm::SaveExtList() { SaveTextList(ExtListFile(), cExt.Items()); }

void TSForm::TabScanInit() {
    const DWORD drives = GetLogicalDrives();
    for (int i = 0; i < kDriveLetters; ++i) {
        if (!(drives & (DWORD(1) << i)))
            continue;
        const std::string drive = std::string(1, char('A' + i)) + ":";
        if (GetDriveTypeA((drive + "\\").c_str()) != DRIVE_FIXED)
            continue;
        cDisks.Add(drive);
        cDisks.SetChecked(cDisks.Count() - 1, true);
    }
    selectClick();
}

void TSForm::cExtClick() {
    const int selected = cExt.ItemIndex();
    if (selected >= 0)
        StatusBar1.SetPanelText(0, cExt.Item(selected));
}

void TSForm::selectClick() {
    for (int i = 0, n = cExt.Count(); i < n; ++i)
        cExt.SetChecked(i, true);
}

void TSForm::deselectClick() {
    for (int i = 0, n = cExt.Count(); i < n; ++i)
        cExt.SetChecked(i, false);
}

void TSForm::AddClick() {
    if (!AddExt)
        throw Exception("The \"New type\" dialog is not available");
    if (AddExt->ShowModal() != IDOK)
        return;
    // "DVext.ini" keeps the list in the ANSI code page, where a character it
    // cannot spell turns into "?", a wildcard that matches more than was typed.
    std::string pattern;
    if (!ExactAnsi(AddExt->Edit1.WideCaption(), pattern)) {
        Modal().MessageBox(hwnd_, kUnspellablePattern, Application.Title, MB_OK | MB_ICONWARNING);
        return;
    }
    cExt.Add(pattern);
    SaveExtList();
}

void TSForm::RemoveClick() {
    const int selected = cExt.ItemIndex();
    if (selected < 0)
        return;
    cExt.Delete(selected);
    // A running pattern pass goes on with the entries it has not come to yet.
    if (selected < patternEnd_)
        --patternEnd_;
    if (selected < patternNext_)
        --patternNext_;
    SaveExtList();
}

} // namespace dv
