#include "clean/ProtectedFolders.h"

#include "app/FileByHandle.h"
#include "app/LongPaths.h"
#include "app/Strings.h"

#include <windows.h>

#include <userenv.h>

#include <algorithm>

namespace dv {

namespace {

std::wstring KnownFolder(UINT(WINAPI* getter)(LPWSTR, UINT)) {
    wchar_t buffer[MAX_PATH] = L"";
    const UINT length = getter(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : L"";
}

std::wstring ProfileFolder() {
    wchar_t buffer[MAX_PATH] = L"";
    const DWORD length = GetEnvironmentVariableW(L"USERPROFILE", buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : L"";
}

// The profile of the account the process runs as, whatever its environment
// says: a process started with another environment has a stale USERPROFILE.
std::wstring TokenProfileFolder() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return {};
    wchar_t buffer[MAX_PATH] = L"";
    DWORD size = MAX_PATH;
    const BOOL known = GetUserProfileDirectoryW(token, buffer, &size);
    CloseHandle(token);
    return known ? buffer : L"";
}

// Opened as a clean target is, through any link, but for its attributes alone.
bool OpenFolder(const std::wstring& path, FileHandle& folder) {
    folder = FileHandle(CreateFileW(PlatformPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return folder.Valid();
}

// The folder above a full path ("C:\a" for "C:\a\b", "C:\" for "C:\a"); empty
// at a root.
std::wstring Parent(const std::wstring& path) {
    const size_t root = RootLength(path);
    if (root == 0 || path.size() <= root + 1)
        return {};
    const size_t last = path.find_last_of(L'\\');
    return last <= root ? path.substr(0, root + 1) : path.substr(0, last);
}

} // namespace

TProtectedFolders::TProtectedFolders() {
    for (const std::wstring& folder :
         {KnownFolder(GetWindowsDirectoryW), KnownFolder(GetSystemWindowsDirectoryW),
          ProfileFolder(), TokenProfileFolder()})
        if (!folder.empty())
            AddWithParents(FullPath(folder));
    AddFixedDriveRoots();
}

// Above the path asked and above the folder the system reached: a link on the
// way leads elsewhere, and a target may name either side of it.
void TProtectedFolders::AddWithParents(const std::wstring& path) {
    const std::wstring reached = Add(path);
    for (std::wstring above = Parent(path); !above.empty(); above = Parent(above))
        Add(above);
    for (std::wstring above = Parent(reached); !above.empty(); above = Parent(above))
        Add(above);
}

std::wstring TProtectedFolders::Add(const std::wstring& path) {
    FileHandle folder;
    FolderIdentity identity =
        OpenFolder(path, folder) ? IdentityOf(folder.Get()) : FolderIdentity{};
    // Untold by the system, or not opened: known by the path asked.
    if (identity.Path.empty())
        identity.Path = IdentityByPath(path).Path;
    folders_.push_back(identity);
    return identity.Path;
}

// Only a letter whose root is one protects its folder: a subst drive's root,
// or a drive mapped to a folder, is a folder of another volume and protects
// nothing beyond what that folder is. Drives that may stall or ask for a disk
// when opened (removable, optical, network) are left to the root's own word.
void TProtectedFolders::AddFixedDriveRoots() {
    // Every letter is asked for its type: a drive mapped a moment ago counts
    // whether or not the list of logical drives shows it yet.
    for (int letter = 0; letter < 26; ++letter) {
        const std::wstring root = {wchar_t(L'A' + letter), L':', L'\\'};
        const UINT type = GetDriveTypeW(root.c_str());
        FileHandle folder;
        if ((type != DRIVE_FIXED && type != DRIVE_RAMDISK) || !OpenFolder(root, folder))
            continue;
        const FolderIdentity identity = IdentityOf(folder.Get());
        if (IsRootFolder(folder.Get(), identity))
            folders_.push_back(identity);
    }
}

bool TProtectedFolders::Protects(HANDLE folder) const {
    const FolderIdentity target = IdentityOf(folder);
    return IsRootFolder(folder, target) ||
           std::any_of(folders_.begin(), folders_.end(),
                       [&](const FolderIdentity& known) { return SameFolder(target, known); });
}

} // namespace dv
