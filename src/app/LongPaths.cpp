#include "app/LongPaths.h"

#include <windows.h>

namespace dv {

namespace {

const wchar_t kExtendedPrefix[] = L"\\\\?\\";

bool IsExtended(const std::wstring& path) { return path.rfind(kExtendedPrefix, 0) == 0; }

} // namespace

std::wstring FullPath(const std::wstring& path) {
    std::wstring full(path.size() + MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetFullPathNameW(path.c_str(), DWORD(full.size()), full.data(), nullptr);
        if (length == 0)
            return path;
        if (length < full.size()) {
            full.resize(length);
            return full;
        }
        full.resize(length);
    }
}

std::wstring ExtendedPath(const std::wstring& path) {
    if (IsExtended(path))
        return path;
    return VerbatimPath(FullPath(path));
}

std::wstring VerbatimPath(const std::wstring& fullPath) {
    if (IsExtended(fullPath))
        return fullPath;
    if (fullPath.rfind(L"\\\\", 0) == 0) // "\\server\share\..."
        return std::wstring(kExtendedPrefix) + L"UNC" + fullPath.substr(1);
    return kExtendedPrefix + fullPath;
}

std::wstring PlatformPath(const std::wstring& fullPath) {
    return fullPath.size() <= kShortPathLimit ? fullPath : VerbatimPath(fullPath);
}

} // namespace dv
