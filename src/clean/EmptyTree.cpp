#include "clean/EmptyTree.h"

#include "app/Errors.h"
#include "app/LongPaths.h"
#include "app/Strings.h"

namespace dv {

namespace {

// A folder being emptied: its handle, its whole listing and the next entry.
struct OpenFolder {
    HANDLE Folder = nullptr;
    FileHandle Owned; // every folder but the target, which the caller holds
    OpenFor Purpose = OpenFor::Listing;
    std::vector<ListedEntry> Entries;
    size_t Next = 0;
};

bool IsSparedFile(const std::wstring& name) { return LowerAscii(name) == L"desktop.ini"; }

bool IsRefusal(DWORD error) {
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

// Opens an entry for the first purpose that is granted, from the most to the
// least: a file or folder held without delete sharing, or one the user may
// not delete, still gets its attributes cleared (and a folder its emptying).
DWORD OpenForMost(HANDLE parent, const ListedEntry& entry, FileHandle& opened, OpenFor& purpose) {
    const OpenFor folderPurposes[] = {OpenFor::Removal, OpenFor::Attributes, OpenFor::Listing};
    const size_t tries = entry.IsDirectory() ? 3 : 2;
    DWORD error = 0;
    for (size_t i = 0; i < tries; ++i) {
        purpose = folderPurposes[i];
        error = OpenEntry(parent, entry.Name, entry.IsDirectory(), purpose, opened);
        if (!IsRefusal(error))
            return error;
    }
    return error;
}

// Opens a listed folder to empty it; nothing when it is no longer the folder
// listed (a link swapped in). Raises the I/O error when it cannot be opened.
bool EnterFolder(HANDLE parent, const ListedEntry& entry, OpenFolder& below) {
    if (const DWORD error = OpenForMost(parent, entry, below.Owned, below.Purpose))
        throw EInOutError(error);
    if (!IsListedEntry(below.Owned.Get(), entry))
        return false;
    below.Folder = below.Owned.Get();
    ReadListing(below.Folder, below.Entries); // a folder that cannot be listed stays empty here
    return true;
}

void DeleteListedFile(HANDLE parent, const ListedEntry& entry, TreeEmptyingObserver& observer) {
    if (IsSparedFile(entry.Name))
        return;
    FileHandle file;
    OpenFor purpose;
    if (OpenForMost(parent, entry, file, purpose) != 0 || !IsListedEntry(file.Get(), entry))
        return;
    // A file link is deleted as it stands: its attributes are its target's.
    const DWORD hiddenSystemReadOnly =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if (!entry.IsLink() && (entry.Attributes & hiddenSystemReadOnly) &&
        !SetAttributesByHandle(file.Get(), entry.Attributes & ~hiddenSystemReadOnly))
        return;
    if (purpose != OpenFor::Removal || !DeleteByHandle(file.Get()))
        return;
    file.Close(); // the plain disposition deletes the file here
    observer.FileDeleted(entry.Name, entry.Size);
}

// The folder emptied as far as it goes: attributes to exactly the directory
// bit, then removed; one that still holds something stays.
void RemoveEmptiedFolder(OpenFolder& folder) {
    SetAttributesByHandle(folder.Folder, 0);
    if (folder.Purpose == OpenFor::Removal)
        DeleteByHandle(folder.Folder);
}

} // namespace

FileHandle OpenTarget(const std::wstring& path) {
    if (path.empty())
        throw EInOutError(ERROR_PATH_NOT_FOUND);
    FileHandle target;
    const std::wstring platformPath = path.size() <= kShortPathLimit ? path : ExtendedPath(path);
    if (const DWORD error = OpenFolderByPath(platformPath, target))
        throw EInOutError(error);
    return target;
}

void EmptyTree(HANDLE target, TreeEmptyingObserver& observer) {
    // The open folders from the target down, on a stack of their own: a deep
    // tree costs memory, never the thread's stack.
    std::vector<OpenFolder> open(1);
    open[0].Folder = target;
    open[0].Purpose = OpenFor::Listing;
    ReadListing(target, open[0].Entries);
    observer.FolderListed(open[0].Entries);
    while (!open.empty()) {
        OpenFolder& folder = open.back();
        if (folder.Next == folder.Entries.size()) {
            if (open.size() > 1)
                RemoveEmptiedFolder(folder);
            open.pop_back();
            continue;
        }
        const ListedEntry& entry = folder.Entries[folder.Next++];
        if (!entry.IsDirectory()) {
            DeleteListedFile(folder.Folder, entry, observer);
            continue;
        }
        // A junction or folder link is left where it is: entering it would
        // delete files outside the target.
        if (entry.IsLink())
            continue;
        OpenFolder below;
        if (EnterFolder(folder.Folder, entry, below)) {
            observer.FolderListed(below.Entries);
            open.push_back(std::move(below));
        }
    }
}

} // namespace dv
