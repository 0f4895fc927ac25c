#include "FormSetup.h"

#include "Bench.h"

#include "app/Modal.h"
#include "app/Strings.h"
#include "settings/SettingsKey.h"

#include <psapi.h>

#include <cstdio>
#include <stdexcept>

namespace dvbench {

namespace {

const char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

int g_dialogs = 0;

std::string SettingsPath() { return std::string(dv::kSettingsKey).substr(1); }

void SetValue(HKEY key, const char* name, DWORD value) {
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void SetValue(HKEY key, const char* name, const std::string& value) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   DWORD(value.size() + 1));
}

// The settings key with its eight values: no target ticked, total 0.
void ResetSettingsKey() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, SettingsPath().c_str());
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                        nullptr, &key, nullptr) != ERROR_SUCCESS)
        throw std::runtime_error("cannot create the settings key");
    SetValue(key, "InstallDir", dv::ProgramDir());
    for (const char* name : {"Temp", "Recent", "Cache", "History", "Cookies", "StClean", "Cleaned"})
        SetValue(key, name, DWORD(0));
    RegCloseKey(key);
}

// Shell folders that exist and hold nothing, so that reading them succeeds.
void PointShellFolders() {
    const std::string base = std::string(kBenchRoot) + "\\shell";
    CreateDirectoryA(kBenchRoot, nullptr);
    CreateDirectoryA(base.c_str(), nullptr);
    for (const char* name : {"Recent", "Cache", "History", "Cookies"}) {
        const std::string path = base + "\\" + name;
        CreateDirectoryA(path.c_str(), nullptr);
        for (const char* keyPath : {kShellFolders, kUserShellFolders}) {
            HKEY key;
            if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &key, nullptr) != ERROR_SUCCESS)
                continue;
            SetValue(key, name, path);
            RegCloseKey(key);
        }
    }
}

void RemoveListFiles() {
    for (const char* name : {"dv.ini", "DVext.ini"}) {
        const std::string path = dv::ProgramDir() + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

// A dialog would wait for a person: each is answered at once, named on
// stderr and counted, and the measurement then counts as failed.
void AnswerDialogs() {
    dv::ModalHooks& hooks = dv::Modal();
    hooks.MessageBox = [](HWND, const std::string& text, const std::string&, UINT) {
        std::fprintf(stderr, "dialog: %s\n", text.c_str());
        ++g_dialogs;
        return IDOK;
    };
    hooks.BrowseForFolder = [](HWND, const std::wstring&, std::wstring&) { return false; };
    hooks.WinHelp = [](HWND, const std::string&, UINT, ULONG_PTR) { return TRUE; };
    hooks.ShowModal = [](HWND, HWND) {
        ++g_dialogs;
        return IDCANCEL;
    };
    hooks.ShellOpen = [](HWND, const std::string&) {};
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

} // namespace

std::unique_ptr<dv::TSForm> MakeForm(bool visible, int page) {
    RemoveListFiles();
    ResetSettingsKey();
    PointShellFolders();
    AnswerDialogs();
    auto form = std::make_unique<dv::TSForm>();
    if (visible)
        form->Show();
    form->PageControl1.SetActivePage(page);
    PumpMessages();
    if (g_dialogs > 0)
        throw std::runtime_error("the window asked something at start-up");
    return form;
}

void SelectDrive(dv::TSForm& form, const std::string& drive) {
    form.cDisks.Clear();
    form.cDisks.Add(drive);
    form.cDisks.SetChecked(0, true);
}

void TickPatterns(dv::TSForm& form, const std::string& only) {
    for (int i = 0, n = form.cExt.Count(); i < n; ++i)
        form.cExt.SetChecked(i, only.empty() || form.cExt.Item(i) == only);
}

int DialogCount() { return g_dialogs; }

int64_t CleanedTotal() {
    DWORD value = 0, size = sizeof value;
    RegGetValueA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), "Cleaned", RRF_RT_REG_DWORD, nullptr,
                 &value, &size);
    return value;
}

Memory ProcessMemory() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return {int64_t(counters.WorkingSetSize), int64_t(counters.PeakWorkingSetSize),
            int64_t(counters.PagefileUsage)};
}

} // namespace dvbench
