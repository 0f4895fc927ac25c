#include "clean/UnitSysDir.h"

#include "app/Application.h"
#include "app/Modal.h"
#include "app/Strings.h"
#include "settings/Registry.h"

#include <windows.h>

#include <iterator>

namespace dv {

std::wstring UserDirFile() { return ProgramFolder() + L"dv.ini"; }

TSysDir::TSysDir() {
    if (FileExists(UserDirFile()))
        FUserDirs = LoadTextList(UserDirFile());
    if (!ReadFolders())
        Modal().MessageBox(Application.MainWindow, "Error accessing System Folders!", "Error",
                           MB_OK | MB_ICONERROR);
}

bool TSysDir::ReadFolders() {
    bool keyOpened;
    {
        TRegistry registry(HKEY_CURRENT_USER);
        keyOpened = registry.OpenKey(kShellFoldersKey, false, KEY_QUERY_VALUE);
        FRecentDir = ReadStringOrEmpty(registry, "Recent");
        FCacheDir = ReadStringOrEmpty(registry, "Cache");
        FHistoryDir = ReadStringOrEmpty(registry, "History");
        FCookiesDir = ReadStringOrEmpty(registry, "Cookies");
    }
    wchar_t buffer[261] = L"";
    // A path longer than the buffer is not delivered and counts as unreadable.
    DWORD length = GetTempPathW(std::size(buffer), buffer);
    bool tempRead = length != 0 && length < std::size(buffer);
    if (tempRead)
        FTempDir = buffer;
    return keyOpened && tempRead;
}

} // namespace dv
