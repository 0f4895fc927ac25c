#include "scan/FoundFileRemoval.h"

#include "app/LongPaths.h"

namespace dv {

namespace {

const size_t kFoldersKept = 16;

// The drive ("C:") or share ("\\server\share") a recorded folder lies on.
std::wstring RootOf(const std::wstring& dir) {
    size_t end = 0;
    if (dir.rfind(L"\\\\", 0) == 0) {
        end = dir.find(L'\\', 2);
        end = end == std::wstring::npos ? end : dir.find(L'\\', end + 1);
    } else {
        end = dir.find(L'\\');
    }
    return dir.substr(0, end);
}

bool IsBelow(const std::wstring& dir, const std::wstring& folder) {
    return dir.size() > folder.size() && dir.compare(0, folder.size(), folder) == 0 &&
           dir[folder.size()] == L'\\';
}

} // namespace

TFoundFileRemover::Folder* TFoundFileRemover::Open(const std::wstring& path, FileHandle handle) {
    std::vector<ListedEntry> entries;
    if (!ReadListing(handle.Get(), entries))
        return nullptr;
    if (recent_.size() == kFoldersKept)
        recent_.pop_back();
    Folder& folder = recent_.emplace_front(Folder{path, std::move(handle), {}});
    for (ListedEntry& entry : entries) {
        std::wstring name = entry.Name;
        folder.Entries.emplace(std::move(name), std::move(entry));
    }
    if (AfterListing)
        AfterListing(path);
    return &folder;
}

// The kept folder nearest to dir on its way from the root: dir itself, or the
// deepest one above it.
TFoundFileRemover::Folder* TFoundFileRemover::Nearest(const std::wstring& dir) {
    auto nearest = recent_.end();
    for (auto folder = recent_.begin(); folder != recent_.end(); ++folder) {
        if (folder->Path == dir) {
            nearest = folder;
            break;
        }
        if (IsBelow(dir, folder->Path) &&
            (nearest == recent_.end() || folder->Path.size() > nearest->Path.size()))
            nearest = folder;
    }
    if (nearest == recent_.end())
        return nullptr;
    recent_.splice(recent_.begin(), recent_, nearest);
    return &recent_.front();
}

TFoundFileRemover::Folder* TFoundFileRemover::Reach(const std::wstring& dir) {
    Folder* folder = Nearest(dir);
    if (!folder) {
        const std::wstring root = RootOf(dir);
        FileHandle handle;
        if (OpenFolderByPath(VerbatimPath(root + L"\\"), handle) != 0)
            return nullptr;
        folder = Open(root, std::move(handle));
    }
    while (folder && folder->Path != dir) {
        const size_t start = folder->Path.size() + 1;
        const std::wstring name = dir.substr(start, dir.find(L'\\', start) - start);
        const auto listed = folder->Entries.find(name);
        if (listed == folder->Entries.end() || !listed->second.IsDirectory() ||
            listed->second.IsLink())
            return nullptr;
        FileHandle handle;
        if (OpenEntry(folder->Handle.Get(), name, true, OpenFor::Listing, handle) != 0 ||
            !IsListedEntry(Volume::Of(handle.Get()), handle.Get(), listed->second))
            return nullptr;
        folder = Open(folder->Path + L"\\" + name, std::move(handle));
    }
    return folder;
}

bool TFoundFileRemover::Delete(const std::wstring& dir, const std::wstring& name) {
    Folder* folder = Reach(dir);
    if (!folder)
        return false;
    const auto listed = folder->Entries.find(name);
    if (listed == folder->Entries.end() || listed->second.IsDirectory())
        return false;
    FileHandle file;
    // Attributes are left as they are: a read-only file stays.
    if (OpenEntry(folder->Handle.Get(), name, false, OpenFor::Deletion, file) != 0)
        return false;
    Volume& volume = Volume::Of(file.Get());
    if (!IsListedEntry(volume, file.Get(), listed->second) || !DeleteByHandle(volume, file.Get()))
        return false;
    folder->Entries.erase(listed);
    return true;
}

} // namespace dv
