#include "clean/EmptyTree.h"

#include "app/Errors.h"
#include "app/LongPaths.h"
#include "app/Strings.h"

#include <span>

namespace dv {

namespace {

// A folder being emptied: its handle, its whole listing and the next entry.
struct OpenFolder {
    HANDLE Folder = nullptr;
    FileHandle Owned;     // every folder but the target, which the caller holds
    unsigned Granted = 0; // what its handle was opened for
    std::vector<ListedEntry> Entries;
    size_t Next = 0;
};

const DWORD kHiddenSystemReadOnly =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// The attributes a folder may carry beyond the directory bit.
const DWORD kFolderExtras = kSettableAttributes & ~FILE_ATTRIBUTE_NORMAL;

bool IsSparedFile(const std::wstring& name) { return LowerAscii(name) == L"desktop.ini"; }

// Whether the attributes must be written before the entry goes: a file's
// read-only, hidden and system bits (a file link's are its target's, and it
// goes as it stands), a folder's every bit beyond the directory bit.
bool NeedsClearing(const ListedEntry& entry) {
    if (entry.IsDirectory())
        return entry.Attributes & kFolderExtras;
    return !entry.IsLink() && (entry.Attributes & kHiddenSystemReadOnly);
}

// Opens a listed entry for the first of these purposes that is granted, and
// checks that it is the entry listed; false when none is, or when it is now
// another entry (a link swapped in).
bool OpenListed(Volume& volume, HANDLE parent, const ListedEntry& entry,
                std::span<const unsigned> purposes, FileHandle& opened, unsigned& granted) {
    for (unsigned purpose : purposes) {
        if (OpenEntry(parent, entry.Name, entry.IsDirectory(), purpose, opened) == 0) {
            granted = purpose;
            return IsListedEntry(volume, opened.Get(), entry);
        }
    }
    return false;
}

// The folder emptied as far as it goes: attributes to exactly the directory
// bit, then removed; one that still holds something stays.
void RemoveFolder(Volume& volume, HANDLE folder, unsigned granted) {
    if (granted & OpenFor::ClearAttributes)
        SetAttributesByHandle(folder, 0);
    if (granted & OpenFor::Deletion)
        DeleteByHandle(volume, folder);
}

// Opens a listed folder to empty it, with the rights to remove it where they
// are granted, and reads its listing. A folder that cannot be opened or listed
// (another owner's, held without sharing, gone, now a file) is passed over, its
// removal still attempted: false.
bool EnterListedFolder(Volume& volume, HANDLE parent, const ListedEntry& entry, OpenFolder& below) {
    const unsigned clear = NeedsClearing(entry) ? OpenFor::ClearAttributes : 0;
    const unsigned purposes[] = {OpenFor::Listing | OpenFor::Deletion | clear,
                                 OpenFor::Listing | clear, OpenFor::Listing,
                                 OpenFor::Deletion | clear};
    if (!OpenListed(volume, parent, entry, purposes, below.Owned, below.Granted))
        return false;
    below.Folder = below.Owned.Get();
    if ((below.Granted & OpenFor::Listing) && ReadListing(volume, below.Folder, below.Entries))
        return true;
    RemoveFolder(volume, below.Folder, below.Granted);
    return false;
}

void DeleteListedFile(Volume& volume, HANDLE parent, const ListedEntry& entry,
                      TreeEmptyingObserver& observer) {
    if (IsSparedFile(entry.Name))
        return;
    const unsigned clear = NeedsClearing(entry) ? OpenFor::ClearAttributes : 0;
    // A file held without delete sharing, or that this user may not delete,
    // still has its bits cleared.
    const unsigned purposes[] = {OpenFor::Deletion | clear, clear};
    FileHandle file;
    unsigned granted = 0;
    if (!OpenListed(volume, parent, entry, std::span(purposes, clear ? 2 : 1), file, granted))
        return;
    if (clear && !SetAttributesByHandle(file.Get(), entry.Attributes & ~kHiddenSystemReadOnly))
        return;
    if (!(granted & OpenFor::Deletion) || !DeleteByHandle(volume, file.Get()))
        return;
    file.Close(); // the plain disposition deletes the file here
    observer.FileDeleted(entry.Name, entry.Size);
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
    // Links are never entered, so the whole tree lies on the target's volume.
    Volume volume = Volume::Of(target);
    // The open folders from the target down, on a stack of their own: a deep
    // tree costs memory, never the thread's stack.
    std::vector<OpenFolder> open(1);
    open[0].Folder = target;
    ReadListing(volume, target, open[0].Entries);
    while (!open.empty()) {
        OpenFolder& folder = open.back();
        if (folder.Next == folder.Entries.size()) {
            if (open.size() > 1)
                RemoveFolder(volume, folder.Folder, folder.Granted);
            open.pop_back();
            continue;
        }
        const ListedEntry& entry = folder.Entries[folder.Next++];
        observer.EntryReached();
        if (!entry.IsDirectory()) {
            DeleteListedFile(volume, folder.Folder, entry, observer);
            continue;
        }
        // A junction or folder link is left where it is: entering it would
        // delete files outside the target.
        if (entry.IsLink())
            continue;
        OpenFolder below;
        if (EnterListedFolder(volume, folder.Folder, entry, below))
            open.push_back(std::move(below));
    }
}

} // namespace dv
