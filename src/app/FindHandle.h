#pragma once
// A directory search that is closed however the code that holds it is left.
#include <windows.h>

#include <string>

namespace dv {

class FindHandle {
  public:
    FindHandle(const std::string& path, WIN32_FIND_DATAA& entry)
        : handle_(FindFirstFileA(path.c_str(), &entry)) {}
    ~FindHandle() {
        if (Valid())
            FindClose(handle_);
    }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    bool Valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAA& entry) { return FindNextFileA(handle_, &entry); }

  private:
    HANDLE handle_;
};

} // namespace dv
