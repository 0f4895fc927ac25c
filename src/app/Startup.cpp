// Start-up: loading the stored state into the window, the unattended clean, and
// the start-up entry that Windows runs.
#include "app/Startup.h"
#include "app/Application.h"
#include "app/CommandLine.h"
#include "app/Strings.h"
#include "clean/UnitSysDir.h"
#include "settings/Registry.h"
#include "settings/SettingsKey.h"
#include "settings/StartupEntry.h"
#include "ui/UnitMainForm.h"

#include <windows.h>

namespace dv {

// The command Windows runs at start-up. A path with a blank is quoted: unquoted,
// Windows would split it and hand the program another first argument.
std::wstring StartupCommand(const std::wstring& programPath) {
    const bool hasBlank = programPath.find(L' ') != std::wstring::npos;
    return (hasBlank ? L"\"" + programPath + L"\"" : programPath) + L" auto";
}

void TSForm::FormCreate() {
    {
        TRegistry registry(HKEY_LOCAL_MACHINE);
        if (!CheckRegInit(registry))
            InitOptions(registry);
        ReadOptions(registry);
    }
    SysDir = std::make_unique<TSysDir>();
    for (const std::string& directory : SysDir->FUserDirs)
        ListBox1.Add(directory);
    LoadExtList();
    if (IsUnattendedStart(GetCommandLineA())) {
        WindowState = TWindowState::wsMinimized;
        bCleanNowClick();
        Application.Terminate();
    } else {
        WindowState = TWindowState::wsNormal;
    }
}

void TSForm::FormShow() { TabScanInit(); }

void TSForm::CheckBootClick() {
    TRegistry registry(HKEY_LOCAL_MACHINE);
    if (!registry.OpenKey(kSettingsKey, false, KEY_SET_VALUE))
        return;
    const bool ticked = CheckBoot.Checked();
    registry.WriteBool("StClean", ticked);
    registry.CloseKey();
    if (ticked)
        WriteStartupEntry(StartupCommand(ProgramFile()));
    else
        RemoveStartupEntry();
}

} // namespace dv
