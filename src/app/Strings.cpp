#include "app/Strings.h"

#include <windows.h>

namespace dv {

std::string LowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    return text;
}

std::string UpperAscii(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return text;
}

std::wstring LowerAscii(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = wchar_t(c - L'A' + L'a');
    return text;
}

std::wstring AnsiToWide(const std::string& text) {
    if (text.empty())
        return {};
    std::wstring wide(
        size_t(MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), int(text.size()), wide.data(), int(wide.size()));
    return wide;
}

std::string WideToAnsi(const std::wstring& text) {
    if (text.empty())
        return {};
    std::string ansi(size_t(WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), nullptr,
                                                0, nullptr, nullptr)),
                     '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), int(text.size()), ansi.data(), int(ansi.size()),
                        nullptr, nullptr);
    return ansi;
}

int64_t SizeToKB(uint64_t bytes) { return int64_t(bytes / 1024); }

std::string ProgramPath() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string ProgramDir() {
    std::string path = ProgramPath();
    return path.substr(0, path.find_last_of("\\:") + 1);
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFullPath(const std::string& path) {
    bool driveLetter = path.size() >= 3 &&
                       ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
                       path[1] == ':' && path[2] == '\\';
    if (driveLetter)
        return true;
    // "\\server\share": a server name, a backslash, a share name.
    if (path.rfind("\\\\", 0) != 0)
        return false;
    size_t shareStart = path.find('\\', 2);
    return shareStart != std::string::npos && shareStart > 2 && shareStart + 1 < path.size() &&
           path[shareStart + 1] != '\\';
}

} // namespace dv
