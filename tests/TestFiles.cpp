// Test helpers for files and folders: scratch folders inside the private
// prefix, files of any path length, directory links, the host's names.
#include "TestSupport.h"

#include "app/LongPaths.h"
#include "app/Strings.h"

#include <algorithm>

namespace dvtest {

namespace {

// A test path as the platform takes it, at any length.
std::wstring Native(const std::string& path) { return dv::PlatformPath(W(path)); }

void ListInto(const std::string& root, const std::string& relative,
              std::vector<std::string>& names) {
    WIN32_FIND_DATAW entry;
    std::string base = relative.empty() ? root : root + "\\" + relative;
    HANDLE search = FindFirstFileW(Native(base + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = U8(entry.cFileName);
        if (name == "." || name == "..")
            continue;
        std::string path = relative.empty() ? name : relative + "\\" + name;
        names.push_back(path);
        bool directory = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (directory && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            ListInto(root, path, names);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

bool IsDirectoryLink(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    const DWORD link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & link) == link;
}

} // namespace

std::wstring W(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(),
                                           int(wide.size()))));
    return wide;
}

std::string U8(const std::wstring& wide) {
    std::string utf8(wide.size() * 4, '\0');
    utf8.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(),
                                           int(utf8.size()), nullptr, nullptr)));
    return utf8;
}

std::string ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "misc";
    std::replace(name.begin(), name.end(), '/', '_');
    MakeDir("C:\\dvtest");
    std::string path = "C:\\dvtest\\" + name;
    RemoveTree(path);
    MakeDir(path);
    return path;
}

void RemoveTree(const std::string& path) {
    const std::wstring native = Native(path);
    DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(native.c_str(),
                       attributes & ~DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                           FILE_ATTRIBUTE_SYSTEM));
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(native.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW(Native(path + "\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = U8(entry.cFileName);
                if (name != "." && name != "..")
                    RemoveTree(path + "\\" + name);
            } while (FindNextFileW(search, &entry));
            FindClose(search);
        }
    }
    RemoveDirectoryW(native.c_str());
}

void MakeDir(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryW(Native(path.substr(0, i)).c_str(), nullptr);
}

void WriteFile(const std::string& path, const std::string& content, DWORD attributes) {
    HANDLE file = CreateFileW(Native(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(file);
    if (attributes)
        SetFileAttributesW(Native(path).c_str(), attributes);
}

std::string ReadFile(const std::string& path) {
    HANDLE file =
        CreateFileW(Native(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(Native(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TreeListing(const std::string& root) {
    std::vector<std::string> names;
    ListInto(root, "", names);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ProgramDirectory() { return dv::ProgramDir(); }

void RemoveListFiles() {
    for (const char* name : {"dv.ini", "DVext.ini"}) {
        std::string path = ProgramDirectory() + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

std::string HostPath(const std::string& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return {};
    std::wstring wide(path.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), int(wide.size()));
    char* name = unixName(wide.c_str());
    if (!name)
        return {};
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

bool MakeDirectoryLink(const std::string& link, const std::string& target) {
    if (CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        IsDirectoryLink(link))
        return true;
    std::string hostLink = HostPath(link), hostTarget = HostPath(target);
    if (hostLink.empty() || hostTarget.empty())
        return false;
    RunHostCommand("/bin/ln -s \"" + hostTarget + "\" \"" + hostLink + "\"");
    for (int i = 0; i < 250 && !IsDirectoryLink(link); ++i)
        Sleep(20); // the host command may still be finishing
    return IsDirectoryLink(link);
}

void RemoveDirectoryLink(const std::string& link) {
    if (!IsDirectoryLink(link))
        return;
    std::string hostLink = HostPath(link);
    // On a host link, RemoveDirectoryA would remove the folder it points to.
    if (!hostLink.empty())
        RunHostCommand("/bin/rm -f \"" + hostLink + "\"");
    else
        RemoveDirectoryA(link.c_str());
    for (int i = 0; i < 250 && IsDirectoryLink(link); ++i)
        Sleep(20);
}

} // namespace dvtest
