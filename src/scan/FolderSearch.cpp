#include "scan/FolderSearch.h"

#include "app/LongPaths.h"

#include <algorithm>

namespace dv {

namespace {

const uint32_t kNone = TFolderTable::kNone;

// A folder being walked: its handle, its place in the record, the folders
// right below it and the next of them to walk.
struct OpenFolder {
    FileHandle Handle;
    uint32_t Folder = kNone;
    std::vector<ListedEntry> Below;
    size_t Next = 0;
};

// A folder link or junction is not entered: it can lead back into the tree
// (an endless walk) or to files that the walk reaches by their own path.
std::vector<ListedEntry> WalkableFolders(const std::vector<ListedEntry>& entries) {
    std::vector<ListedEntry> folders;
    for (const ListedEntry& entry : entries)
        if (entry.IsDirectory() && !entry.IsLink())
            folders.push_back(entry);
    return folders;
}

// Where the drive ("C:") a path lies on ends: the scan walks drive letters.
size_t DriveEnd(const std::wstring& path) { return std::min(path.find(L'\\'), path.size()); }

std::vector<std::wstring> NamesBelowDrive(const std::wstring& path) {
    std::vector<std::wstring> names;
    for (size_t start = DriveEnd(path); start < path.size();) {
        const size_t end = std::min(path.find(L'\\', start + 1), path.size());
        if (end > start + 1)
            names.push_back(path.substr(start + 1, end - start - 1));
        start = end;
    }
    return names;
}

// Opens the drive's root by path and goes down to the walk's root, each folder
// on the way found by its exact name in its parent's listing; entries gets the
// walk root's listing. false when one of them cannot be opened or listed.
bool OpenWalkRoot(const std::wstring& root, TScanRecord& record, OpenFolder& walkRoot,
                  Volume& volume, std::vector<ListedEntry>& entries) {
    const std::wstring drive = root.substr(0, DriveEnd(root));
    if (OpenFolderByPath(VerbatimPath(drive + L"\\"), walkRoot.Handle) != 0)
        return false;
    volume = Volume::Of(walkRoot.Handle.Get());
    if (!ReadListing(volume, walkRoot.Handle.Get(), entries))
        return false;
    uint32_t folder = record.AddFolder(kNone, drive, {}, false);
    const std::vector<std::wstring> names = NamesBelowDrive(root);
    for (size_t i = 0; i < names.size(); ++i) {
        const auto listed = std::find_if(entries.begin(), entries.end(), [&](const auto& entry) {
            return entry.IsDirectory() && entry.Name == names[i];
        });
        if (listed == entries.end())
            return false;
        const FileId id = listed->Id;
        FileHandle below;
        if (OpenEntry(walkRoot.Handle.Get(), names[i], true, OpenFor::Listing, below) != 0 ||
            !IsListedEntry(volume, below.Get(), *listed) ||
            !ReadListing(volume, below.Get(), entries))
            return false;
        folder = record.AddFolder(folder, names[i], id, i + 1 == names.size());
        walkRoot.Handle = std::move(below);
    }
    walkRoot.Folder = folder;
    return true;
}

} // namespace

void WalkFolders(const std::wstring& root, TScanRecord& record, const FolderReached& reached) {
    // The open folders from the walk's root down, on a stack of their own: a
    // deep tree costs memory, never the thread's stack.
    std::vector<OpenFolder> open(1);
    std::vector<ListedEntry> entries;
    // Links are never entered, so the whole walk lies on the root's volume.
    Volume volume;
    if (!OpenWalkRoot(root, record, open[0], volume, entries)) {
        reached(kNone, nullptr);
        return;
    }
    uint32_t drive = open[0].Folder;
    while (record.Folders().Parent(drive) != kNone)
        drive = record.Folders().Parent(drive);
    reached(open[0].Folder, &entries);
    open[0].Below = WalkableFolders(entries);
    while (!open.empty()) {
        OpenFolder& folder = open.back();
        if (folder.Next == folder.Below.size()) {
            open.pop_back();
            continue;
        }
        const ListedEntry& listed = folder.Below[folder.Next++];
        OpenFolder below;
        // A folder swapped for a link since its parent's listing is passed over.
        if (OpenEntry(folder.Handle.Get(), listed.Name, true, OpenFor::Listing, below.Handle) !=
                0 ||
            !IsListedEntry(volume, below.Handle.Get(), listed) ||
            !ReadListing(volume, below.Handle.Get(), entries)) {
            reached(kNone, nullptr);
            continue;
        }
        below.Folder = record.AddFolder(folder.Folder, listed.Name, listed.Id, true);
        reached(below.Folder, &entries);
        below.Below = WalkableFolders(entries);
        open.push_back(std::move(below));
    }
    record.SetVolume(drive, volume);
}

// Each folder on the way is checked against the ID the walk recorded for it,
// as the walk checked it against its parent's listing: one swapped for a link
// or another folder since is not listed.
bool TRecordedFolderLister::Open(uint32_t folder) {
    std::vector<uint32_t> way; // from the drive's root down to the folder
    for (uint32_t f = folder; f != kNone; f = folders_.Parent(f))
        way.insert(way.begin(), f);
    size_t shared = 0;
    while (shared < open_.size() && shared < way.size() && open_[shared].first == way[shared])
        ++shared;
    open_.erase(open_.begin() + ptrdiff_t(shared), open_.end());
    for (size_t i = shared; i < way.size(); ++i) {
        const std::wstring name(folders_.Name(way[i]));
        FileHandle handle;
        if (i == 0) {
            if (OpenFolderByPath(VerbatimPath(name + L"\\"), handle) != 0)
                return false;
            volume_ = record_.VolumeOf(way[i]);
        } else if (OpenEntry(open_.back().second.Get(), name, true, OpenFor::Listing, handle) !=
                       0 ||
                   !IsRecordedFolder(volume_, handle.Get(),
                                     Comparable(volume_, folders_.Id(way[i]).value_or(FileId{})))) {
            return false;
        }
        open_.emplace_back(way[i], std::move(handle));
    }
    return true;
}

bool TRecordedFolderLister::List(uint32_t folder, std::vector<ListedEntry>& entries) {
    return Open(folder) && ReadListing(volume_, open_.back().second.Get(), entries);
}

} // namespace dv
