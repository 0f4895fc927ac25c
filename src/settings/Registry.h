#pragma once
// Registry access object: one root, at most one open key, closed on every path.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace dv {

class TRegistry {
  public:
    explicit TRegistry(HKEY root = HKEY_CURRENT_USER) : RootKey(root) {}
    TRegistry(const TRegistry&) = delete;
    TRegistry& operator=(const TRegistry&) = delete;
    ~TRegistry() { CloseKey(); }

    HKEY RootKey;

    // Opens a key by its path from the root (a leading "\" is allowed), asking
    // for the rights the calls on it use: KEY_QUERY_VALUE for reads and the
    // value list, KEY_SET_VALUE for writes and deletions. A key that grants only
    // those still opens. Returns whether it opened; never raises. A successful
    // open closes the key opened before.
    bool OpenKey(const std::string& path, bool canCreate, REGSAM access);
    void CloseKey();
    bool HasKey() const { return key_ != nullptr; }

    std::vector<std::string> GetValueNames() const;
    bool ValueExists(const std::string& name) const;

    // Reads raise ERegistryException: "Failed to get data for '%s'" when the value
    // is missing or too large, "Invalid data type for '%s'" for another type.
    bool ReadBool(const std::string& name) const;
    int32_t ReadInteger(const std::string& name) const;
    std::string ReadString(const std::string& name) const;
    // The text as stored, in UTF-16: no code page stands between it and a path.
    std::wstring ReadWideString(const std::string& name) const;
    // Writes raise "Failed to set data for '%s'" when the system refuses them.
    void WriteBool(const std::string& name, bool value);
    void WriteInteger(const std::string& name, int32_t value);
    void WriteString(const std::string& name, const std::string& value);
    // The text as given, in UTF-16: a path the code page cannot spell stays itself.
    void WriteString(const std::string& name, const std::wstring& value);
    bool DeleteValue(const std::string& name);

  private:
    void WriteData(const std::string& name, DWORD type, const void* data, DWORD size);
    HKEY key_ = nullptr;
};

// Raises the error of a write that the system refuses: "Failed to set data for '%s'".
[[noreturn]] void FailSet(const std::string& name);

// Reads a string value of a key without raising: empty when the key or value
// cannot be read. Raises only for a value that is not text.
std::wstring ReadStringOrEmpty(TRegistry& registry, const std::string& name);

} // namespace dv
