#include "app/FolderIdentity.h"

#include "app/FileByHandle.h"
#include "app/NtFiles.h"
#include "app/VolumeQueries.h"

#include <algorithm>

namespace dv {

namespace {

// "\\?\C:\a\" as "C:\a", "\\?\UNC\server\share" as "\\server\share".
std::wstring Normalised(std::wstring path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        path.erase(2, 6);
    else if (path.rfind(L"\\\\?\\", 0) == 0)
        path.erase(0, 4);
    while (path.size() > 1 && path.back() == L'\\')
        path.pop_back();
    return path;
}

std::wstring FinalPath(HANDLE folder) {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetFinalPathNameByHandleW(folder, path.data(), DWORD(path.size()),
                                                       FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return Normalised(path);
        }
        path.resize(length);
    }
}

// The 128-bit ID with its volume's serial number where the handle gives it
// (stable on ReFS, whose 64-bit IDs are not), else the 64-bit one with the
// volume's 32-bit serial number.
void ReadId(HANDLE folder, FolderIdentity& identity) {
    IdInformation wide{};
    if (Nt().QueryInformation(folder, &wide, sizeof wide, FileClass::Id) >= 0) {
        identity.Serial = wide.VolumeSerialNumber;
        identity.Id = FileId::Wide(wide.Low, wide.High);
        return;
    }
    const Volume volume = Volume::Of(folder);
    LARGE_INTEGER index{};
    if (volume.HasSerial &&
        Nt().QueryInformation(folder, &index, sizeof index, FileClass::Internal) >= 0) {
        identity.Serial = volume.Serial;
        identity.Id = FileId::Narrow(uint64_t(index.QuadPart));
    }
}

// "\\server\share" has three backslashes: two before the server, one before the share.
bool IsShareRoot(const std::wstring& path) {
    return path.rfind(L"\\\\", 0) == 0 && std::count(path.begin(), path.end(), L'\\') <= 3;
}

bool EqualIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) ==
           CSTR_EQUAL;
}

} // namespace

FolderIdentity IdentityOf(HANDLE folder) {
    FolderIdentity identity;
    ReadId(folder, identity);
    if (!identity.Id.Known())
        identity.Id = {};
    identity.Path = FinalPath(folder);
    return identity;
}

FolderIdentity IdentityByPath(const std::wstring& fullPath) {
    FolderIdentity identity;
    identity.Path = Normalised(fullPath);
    return identity;
}

bool SameFolder(const FolderIdentity& a, const FolderIdentity& b) {
    if (a.Id.Known() && b.Id.Known() && a.Id.Kind == b.Id.Kind)
        return a.Serial == b.Serial && a.Id == b.Id;
    return !a.Path.empty() && EqualIgnoringCase(a.Path, b.Path);
}

bool IsRootPath(const std::wstring& fullPath) {
    const std::wstring path = Normalised(fullPath);
    return (path.size() == 2 && path[1] == L':') || IsShareRoot(path);
}

bool IsRootFolder(HANDLE folder, const FolderIdentity& identity) {
    std::wstring fromRoot;
    if (!QueryPathFromRoot(folder, fromRoot))
        return IsRootPath(identity.Path);
    // A share names its folders from the redirector's root ("\server\share\a"),
    // so its root is told by its final path. A drive's root named otherwise
    // is a folder of another volume: a subst drive, or one mapped to a folder.
    return fromRoot == L"\\" || IsShareRoot(identity.Path);
}

} // namespace dv
