#pragma once
// What a folder is, whatever path reached it: a link, a "\\?\" prefix, an 8.3
// name, a subst drive and a detour through ".." all open the same folder, and
// its volume's serial number and its file ID say so. Where a volume gives no
// usable ID, the path the system finally reached stands in.
#include "app/FileId.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace dv {

struct FolderIdentity {
    uint64_t Serial = 0;
    FileId Id;         // 128 bits where the handle gives them, else 64; none where unusable
    std::wstring Path; // the final path, "X:\a" or "\\server\share\a"; empty where untold
};

// The identity of an opened folder.
FolderIdentity IdentityOf(HANDLE folder);

// The identity of a folder that cannot be opened: its full path alone.
FolderIdentity IdentityByPath(const std::wstring& fullPath);

// Whether two identities name one folder: by serial number and ID where both
// have IDs of one kind, else by path, without regard to case.
bool SameFolder(const FolderIdentity& a, const FolderIdentity& b);

// Whether an opened folder is the root of its volume or of a share, told by
// the folder itself: its name from its volume's root is "\", or its final
// path is a share's root (or a drive's, where the name is untold).
bool IsRootFolder(HANDLE folder, const FolderIdentity& identity);

// Whether a full path names a root: "C:", "C:\", "\\server\share\".
bool IsRootPath(const std::wstring& fullPath);

} // namespace dv
