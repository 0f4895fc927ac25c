#include "app/Strings.h"

#include <windows.h>

#include <algorithm>

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

std::wstring UpperAscii(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'a' && c <= L'z')
            c = wchar_t(c - L'a' + L'A');
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

namespace {

std::string Convert(const std::wstring& text, DWORD flags, BOOL* usedDefault) {
    const int length = WideCharToMultiByte(CP_ACP, flags, text.data(), int(text.size()), nullptr, 0,
                                           nullptr, usedDefault);
    std::string ansi(size_t(length), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), int(text.size()), ansi.data(), length, nullptr,
                        usedDefault);
    return ansi;
}

// Converts without best fit; tells whether a character had to be replaced.
// A UTF-8 code page spells everything but a lone surrogate, and takes neither
// the flag nor a default character.
std::string ToAnsi(const std::wstring& text, bool& replaced) {
    replaced = false;
    if (text.empty())
        return {};
    if (GetACP() == CP_UTF8) {
        std::string ansi = Convert(text, WC_ERR_INVALID_CHARS, nullptr);
        replaced = ansi.empty();
        return replaced ? Convert(text, 0, nullptr) : ansi;
    }
    BOOL usedDefault = FALSE;
    std::string ansi = Convert(text, WC_NO_BEST_FIT_CHARS, &usedDefault);
    replaced = usedDefault;
    return ansi;
}

} // namespace

std::string WideToAnsi(const std::wstring& text) {
    bool replaced;
    return ToAnsi(text, replaced);
}

bool ExactAnsi(const std::wstring& text, std::string& ansi) {
    bool replaced;
    ansi = ToAnsi(text, replaced);
    return !replaced;
}

int64_t SizeToKB(uint64_t bytes) { return int64_t(bytes / 1024); }

std::wstring ProgramFile() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(nullptr, path.data(), DWORD(path.size()));
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string ProgramDir() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
        if (n < path.size())
            return path.substr(0, path.find_last_of("\\:") + 1);
        path.resize(path.size() * 2);
    }
}

std::wstring ProgramFolder() {
    const std::wstring path = ProgramFile();
    return path.substr(0, path.find_last_of(L"\\:") + 1);
}

bool FileExists(const std::string& path) { return FileExists(AnsiToWide(path)); }

bool FileExists(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

namespace {

template <class Text> size_t RootLengthOf(const Text& path) {
    using Char = typename Text::value_type;
    const Char drive = path.empty() ? Char(0) : Char(path[0] | 0x20);
    if (path.size() >= 3 && drive >= 'a' && drive <= 'z' && path[1] == ':' && path[2] == '\\')
        return 2;
    // "\\server\share": a server name, a backslash, a share name.
    if (path.size() < 2 || path[0] != '\\' || path[1] != '\\')
        return 0;
    const size_t shareStart = path.find(Char('\\'), 2);
    if (shareStart == Text::npos || shareStart == 2 || shareStart + 1 >= path.size() ||
        path[shareStart + 1] == '\\')
        return 0;
    return std::min(path.find(Char('\\'), shareStart + 1), path.size());
}

} // namespace

size_t RootLength(const std::string& path) { return RootLengthOf(path); }
size_t RootLength(const std::wstring& path) { return RootLengthOf(path); }

bool IsFullPath(const std::wstring& path) { return RootLength(path) > 0; }

} // namespace dv
