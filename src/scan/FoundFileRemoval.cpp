#include "scan/FoundFileRemoval.h"

#include "app/LongPaths.h"
#include "app/Strings.h"

namespace dv {

// A root that cannot be opened stays in hand, unopened: the files found on it
// fail at once rather than each waiting for the drive or the share again.
void TFoundFileRemover::OpenRoot(const std::wstring& root) {
    path_.clear();
    root_ = root;
    if (OpenFolderByPath(VerbatimPath(root + L"\\"), rootHandle_) == 0)
        volume_ = Volume::OfListedRoot(rootHandle_.Get());
}

// The folder dir, from the nearest folder of the current path on.
HANDLE TFoundFileRemover::Reach(const std::wstring& dir) {
    const size_t rootLength = RootLength(dir);
    if (rootLength == 0)
        return nullptr;
    if (dir.compare(0, rootLength, root_) != 0 || root_.size() != rootLength)
        OpenRoot(dir.substr(0, rootLength));
    if (!rootHandle_.Valid())
        return nullptr;
    size_t depth = 0;
    for (size_t end = rootLength; end < dir.size(); ++depth) {
        const size_t start = end + 1;
        end = std::min(dir.find(L'\\', start), dir.size());
        const std::wstring name = dir.substr(start, end - start);
        if (depth < path_.size() && path_[depth].Name == name)
            continue;
        path_.erase(path_.begin() + ptrdiff_t(depth), path_.end());
        HANDLE parent = depth == 0 ? rootHandle_.Get() : path_.back().Handle.Get();
        FileHandle folder;
        if (OpenEntry(parent, name, true, OpenFor::Checking, folder) != 0 ||
            !IsRecordedFolder(volume_, folder.Get(), recordedId_(dir.substr(0, end))))
            return nullptr;
        path_.push_back({name, std::move(folder)});
    }
    path_.erase(path_.begin() + ptrdiff_t(depth), path_.end());
    return depth == 0 ? rootHandle_.Get() : path_.back().Handle.Get();
}

bool TFoundFileRemover::Delete(const std::wstring& dir, const std::wstring& name, uint64_t fileId) {
    HANDLE folder = Reach(dir);
    if (!folder)
        return false;
    FileHandle file;
    // Attributes are left as they are: a read-only file stays.
    if (OpenEntry(folder, name, false, OpenFor::Deletion, file) != 0)
        return false;
    Identity identity;
    return QueryIdentity(volume_, file.Get(), identity) &&
           !(identity.Attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           SameFileId(identity.FileId, fileId) && DeleteByHandle(volume_, file.Get());
}

} // namespace dv
