// Test helpers for the registry: the settings key, the start-up entry, the
// shell folders, and the temporary folder of this process.
#include "TestSupport.h"

#include "settings/SettingsKey.h"

#include <sddl.h>

#include <algorithm>

namespace dvtest {

namespace {

const char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string SettingsPath() { return std::string(dv::kSettingsKey).substr(1); }
std::string RunPath() { return std::string(dv::kRunKey).substr(1); }

} // namespace

void DeleteSettingsKey() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, SettingsPath().c_str()); }

void CreateSettingsKey(int32_t cleaned) {
    DeleteSettingsKey();
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::string dir = ProgramDirectory();
    RegSetValueExA(key, "InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                   DWORD(dir.size() + 1));
    for (const char* name : {"Temp", "Recent", "Cache", "History", "Cookies", "StClean"}) {
        DWORD zero = 0;
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), 4);
    }
    DWORD total = DWORD(cleaned);
    RegSetValueExA(key, "Cleaned", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&total), 4);
    RegCloseKey(key);
}

void SetSettingsDword(const std::string& name, DWORD value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
}

std::optional<DWORD> SettingsDword(const std::string& name) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), name.c_str(), RRF_RT_ANY, &type,
                     &value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

std::optional<std::string> RunEntry() {
    wchar_t buffer[1024];
    DWORD size = sizeof buffer, type = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, W(RunPath()).c_str(), W(dv::kRunValue).c_str(), RRF_RT_ANY,
                     &type, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return U8(buffer);
}

void DeleteRunEntry() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
        RegDeleteKeyValueA(root, RunPath().c_str(), dv::kRunValue);
}

std::vector<std::string> SettingsValueNames() {
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
}

void SetShellFolder(const std::string& name, const std::string& path) {
    for (const char* keyPath : {kShellFolders, kUserShellFolders}) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            continue;
        const std::wstring wide = W(path);
        RegSetValueExW(key, W(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()),
                       DWORD((wide.size() + 1) * sizeof(wchar_t)));
        RegCloseKey(key);
    }
}

void SetTempDir(const std::string& path) {
    SetEnvironmentVariableW(L"TMP", W(path).c_str());
    SetEnvironmentVariableW(L"TEMP", W(path).c_str());
}

void SetSettingsValue(const std::string& name, DWORD type, const std::string& data) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   DWORD(data.size()));
    RegCloseKey(key);
}

void DeleteSettingsValue(const std::string& name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, name.c_str());
        RegCloseKey(key);
    }
}

std::optional<DWORD> SettingsValueType(const std::string& name) {
    DWORD type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), name.c_str(),
                     RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return type;
}

std::optional<std::string> SettingsString(const std::string& name) {
    wchar_t buffer[1024];
    DWORD size = sizeof buffer, type = 0;
    if (RegGetValueW(HKEY_LOCAL_MACHINE, W(SettingsPath()).c_str(), W(name).c_str(), RRF_RT_REG_SZ,
                     &type, buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return U8(buffer);
}

void SetRunEntry(const std::string& command) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunPath().c_str(), 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    RegSetValueExA(key, dv::kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   DWORD(command.size() + 1));
    RegCloseKey(key);
}

KeyAccess::KeyAccess(HKEY root, const std::string& path, const char* sddl) {
    RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key);
    DWORD size = sizeof saved;
    PSECURITY_DESCRIPTOR limited = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &limited, nullptr);
    restricted = RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, saved, &size) == 0 &&
                 RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, limited) == 0;
    LocalFree(limited);
    EXPECT_TRUE(restricted) << path;
}

KeyAccess::~KeyAccess() {
    if (restricted)
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, saved);
    RegCloseKey(key);
}

} // namespace dvtest
