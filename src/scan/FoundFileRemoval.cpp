#include "scan/FoundFileRemoval.h"

#include "app/LongPaths.h"
#include "app/Strings.h"

#include <algorithm>

namespace dv {

namespace {

// Open folders kept at most: a few levels of a wide tree, and far below what
// a process may hold open.
const size_t kKeptFolders = 256;

} // namespace

TFoundFileRemover::Root& TFoundFileRemover::RootOf(const std::wstring& dir, size_t rootLength) {
    const std::wstring name = dir.substr(0, rootLength);
    const auto found = roots_.find(name);
    if (found != roots_.end())
        return found->second;
    Root& root = roots_[name];
    if (OpenFolderByPath(VerbatimPath(name + L"\\"), root.Handle) == 0)
        root.Answers = Volume::Of(root.Handle.Get());
    return root;
}

void TFoundFileRemover::Keep(const std::wstring& path, FileHandle folder) {
    if (kept_.size() >= kKeptFolders)
        kept_.erase(std::min_element(kept_.begin(), kept_.end(), [](const auto& a, const auto& b) {
            return a.second.LastUse < b.second.LastUse;
        }));
    kept_[path] = {std::move(folder), ++uses_};
}

// The folder dir, from the nearest folder kept on its way down.
HANDLE TFoundFileRemover::Reach(const std::wstring& dir, Root& root, size_t rootLength) {
    size_t end = dir.size();
    HANDLE from = nullptr;
    for (; end > rootLength; end = dir.rfind(L'\\', end - 1)) {
        const auto kept = kept_.find(dir.substr(0, end));
        if (kept != kept_.end()) {
            kept->second.LastUse = ++uses_;
            from = kept->second.Handle.Get();
            break;
        }
    }
    if (end == rootLength)
        from = root.Handle.Get();
    while (end < dir.size()) {
        const size_t start = end + 1;
        end = std::min(dir.find(L'\\', start), dir.size());
        const std::wstring path = dir.substr(0, end);
        FileHandle folder;
        if (OpenEntry(from, dir.substr(start, end - start), true, OpenFor::Checking, folder) != 0 ||
            !IsRecordedFolder(root.Answers, folder.Get(), recordedId_(path)))
            return nullptr;
        from = folder.Get();
        Keep(path, std::move(folder));
    }
    return from;
}

bool TFoundFileRemover::Delete(const std::wstring& dir, const std::wstring& name,
                               const FileId& fileId) {
    const size_t rootLength = RootLength(dir);
    if (rootLength == 0)
        return false;
    Root& root = RootOf(dir, rootLength);
    HANDLE folder = root.Handle.Valid() ? Reach(dir, root, rootLength) : nullptr;
    if (!folder)
        return false;
    FileHandle file;
    // Attributes are left as they are: a read-only file stays.
    if (OpenEntry(folder, name, false, OpenFor::Deletion, file) != 0)
        return false;
    Identity identity;
    return QueryIdentity(root.Answers, file.Get(), fileId.Known() ? fileId.Kind : IdKind::None,
                         identity) &&
           !(identity.Attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           MayBeSameFile(identity.Id, fileId) && DeleteByHandle(root.Answers, file.Get());
}

} // namespace dv
