#include "settings/Registry.h"

#include "app/Errors.h"
#include "app/Strings.h"

#include <algorithm>

namespace dv {

namespace {

std::string RelativePath(const std::string& path) {
    return !path.empty() && path[0] == '\\' ? path.substr(1) : path;
}

[[noreturn]] void FailGet(const std::string& name) {
    throw ERegistryException("Failed to get data for '" + name + "'");
}

[[noreturn]] void FailType(const std::string& name) {
    throw ERegistryException("Invalid data type for '" + name + "'");
}

} // namespace

bool TRegistry::OpenKey(const std::string& path, bool canCreate, REGSAM access) {
    HKEY opened = nullptr;
    LONG status;
    if (canCreate)
        status = RegCreateKeyExA(RootKey, RelativePath(path).c_str(), 0, nullptr,
                                 REG_OPTION_NON_VOLATILE, access, nullptr, &opened, nullptr);
    else
        status = RegOpenKeyExA(RootKey, RelativePath(path).c_str(), 0, access, &opened);
    if (status != ERROR_SUCCESS)
        return false;
    CloseKey();
    key_ = opened;
    return true;
}

void TRegistry::CloseKey() {
    if (key_) {
        RegCloseKey(key_);
        key_ = nullptr;
    }
}

std::vector<std::string> TRegistry::GetValueNames() const {
    std::vector<std::string> names;
    DWORD count = 0, longest = 0;
    if (!key_ || RegQueryInfoKeyA(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                  &count, &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return names;
    // The longest name is counted in characters; in a double-byte code page an
    // ANSI name can take two bytes for each.
    std::string buffer(size_t(longest) * 2 + 1, '\0');
    for (DWORD i = 0; i < count; ++i) {
        DWORD length = DWORD(buffer.size());
        if (RegEnumValueA(key_, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
            names.emplace_back(buffer.data(), length);
    }
    return names;
}

bool TRegistry::ValueExists(const std::string& name) const {
    return key_ && RegQueryValueExA(key_, name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
                       ERROR_SUCCESS;
}

int32_t TRegistry::ReadInteger(const std::string& name) const {
    DWORD type = 0, value = 0, size = sizeof value;
    if (!key_ || RegQueryValueExA(key_, name.c_str(), nullptr, &type,
                                  reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
        FailGet(name);
    if (type != REG_DWORD)
        FailType(name);
    return int32_t(value);
}

bool TRegistry::ReadBool(const std::string& name) const { return ReadInteger(name) != 0; }

std::wstring TRegistry::ReadWideString(const std::string& name) const {
    const std::wstring wideName = AnsiToWide(name);
    DWORD type = 0, size = 0;
    if (!key_ ||
        RegQueryValueExW(key_, wideName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        FailGet(name);
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        FailType(name);
    std::wstring text(size_t(size) / sizeof(wchar_t) + 1, L'\0');
    if (RegQueryValueExW(key_, wideName.c_str(), nullptr, &type,
                         reinterpret_cast<BYTE*>(text.data()), &size) != ERROR_SUCCESS)
        FailGet(name);
    text.resize(std::min<size_t>(size / sizeof(wchar_t), text.size()));
    text.resize(std::min(text.find(L'\0'), text.size()));
    return text;
}

std::string TRegistry::ReadString(const std::string& name) const {
    return WideToAnsi(ReadWideString(name));
}

void TRegistry::WriteData(const std::string& name, DWORD type, const void* data, DWORD size) {
    if (!key_ || RegSetValueExA(key_, name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                size) != ERROR_SUCCESS)
        FailSet(name);
}

void TRegistry::WriteBool(const std::string& name, bool value) {
    WriteInteger(name, value ? 1 : 0);
}

void TRegistry::WriteInteger(const std::string& name, int32_t value) {
    DWORD data = DWORD(value);
    WriteData(name, REG_DWORD, &data, sizeof data);
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
    WriteData(name, REG_SZ, value.c_str(), DWORD(value.size() + 1));
}

void TRegistry::WriteString(const std::string& name, const std::wstring& value) {
    if (!key_ || RegSetValueExW(key_, AnsiToWide(name).c_str(), 0, REG_SZ,
                                reinterpret_cast<const BYTE*>(value.c_str()),
                                DWORD((value.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
        FailSet(name);
}

bool TRegistry::DeleteValue(const std::string& name) {
    return key_ && RegDeleteValueA(key_, name.c_str()) == ERROR_SUCCESS;
}

void FailSet(const std::string& name) {
    throw ERegistryException("Failed to set data for '" + name + "'");
}

std::wstring ReadStringOrEmpty(TRegistry& registry, const std::string& name) {
    if (!registry.HasKey() || !registry.ValueExists(name))
        return {};
    return registry.ReadWideString(name);
}

} // namespace dv
