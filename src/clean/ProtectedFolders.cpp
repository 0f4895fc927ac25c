#include "clean/ProtectedFolders.h"

#include "app/LongPaths.h"
#include "app/Strings.h"

#include <windows.h>

#include <algorithm>

namespace dv {

namespace {

// The absolute, upper-cased form of a path without final "\". Made full in
// UTF-16: the ANSI call refuses a path past MAX_PATH, and a long path that
// leads to a root or the profile must still be known as one.
std::string Canonical(const std::string& path) {
    std::string result = WideToAnsi(FullPath(AnsiToWide(path)));
    while (result.size() > 1 && result.back() == '\\')
        result.pop_back();
    return UpperAscii(result);
}

bool IsRoot(const std::string& canonical) {
    if (canonical.size() == 2 && canonical[1] == ':')
        return true;
    // "\\server\share" has three backslashes: two before the server, one before the share.
    return canonical.rfind("\\\\", 0) == 0 &&
           std::count(canonical.begin(), canonical.end(), '\\') <= 3;
}

std::string KnownDirectory(UINT(WINAPI* getter)(LPSTR, UINT)) {
    char buffer[MAX_PATH] = "";
    UINT length = getter(buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? buffer : "";
}

std::string ProfileDirectory() {
    char buffer[MAX_PATH] = "";
    DWORD length = GetEnvironmentVariableA("USERPROFILE", buffer, sizeof buffer);
    return length > 0 && length < sizeof buffer ? buffer : "";
}

} // namespace

bool IsProtectedFolder(const std::string& path) {
    if (path.empty())
        return false;
    const std::string target = Canonical(path);
    if (IsRoot(target))
        return true;
    for (const std::string& protectedDir :
         {KnownDirectory(GetWindowsDirectoryA), KnownDirectory(GetSystemWindowsDirectoryA),
          ProfileDirectory()})
        if (!protectedDir.empty() && Canonical(protectedDir) == target)
            return true;
    return false;
}

} // namespace dv
