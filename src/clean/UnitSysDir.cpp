#include "clean/UnitSysDir.h"

#include "app/Application.h"
#include "app/Modal.h"
#include "app/Strings.h"
#include "settings/Registry.h"

#include <windows.h>

namespace dv {

std::string UserDirFile() { return ProgramDir() + "dv.ini"; }

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
    char buffer[261] = "";
    // A path longer than the buffer is not delivered and counts as unreadable.
    DWORD length = GetTempPathA(sizeof buffer, buffer);
    bool tempRead = length != 0 && length < sizeof buffer;
    if (tempRead)
        FTempDir = buffer;
    return keyOpened && tempRead;
}

} // namespace dv
