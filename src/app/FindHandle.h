#pragma once
// A directory search that is closed however the code that holds it is left.
// Names come back as the disk holds them (UTF-16), whatever the code page.
#include <windows.h>

#include <string>

namespace dv {

class FindHandle {
  public:
    FindHandle(const std::wstring& path, WIN32_FIND_DATAW& entry)
        : handle_(FindFirstFileW(path.c_str(), &entry)) {}
    ~FindHandle() {
        if (Valid())
            FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW& entry) { return FindNextFileW(handle_, &entry); }

  private:
    HANDLE handle_;
};

// "." and "..", which every listing but a drive root's holds.
inline bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

} // namespace dv
