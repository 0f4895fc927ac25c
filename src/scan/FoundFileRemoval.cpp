#include "scan/FoundFileRemoval.h"

#include "app/LongPaths.h"
#include "app/NtFiles.h"
#include "app/Strings.h"

#include <algorithm>

namespace dv {

namespace {

// Open folders kept at most: a few levels of a wide tree, and far below what
// a process may hold open.
const size_t kKeptFolders = 256;

// Deletes a file, opened as a file, if it is still the file the scan
// recorded: with the ID recorded, last written then where no ID vouches.
// Attributes are left as they are: a read-only file stays.
bool DeleteIfRecorded(Volume& volume, HANDLE opened, const FoundFile& file) {
    return MatchRecordedFile(volume, opened, file.Id, file.LastWrite) == FileMatch::Recorded &&
           DeleteByHandle(volume, opened);
}

} // namespace

TFoundFileRemover::Root& TFoundFileRemover::RootOf(const std::wstring& dir, size_t rootLength) {
    const std::wstring name = dir.substr(0, rootLength);
    const auto found = roots_.find(name);
    if (found != roots_.end())
        return found->second;
    Root& root = roots_[name];
    if (OpenFolderByPath(VerbatimPath(name + L"\\"), root.Handle) != 0)
        return root;
    root.Answers = Volume::Of(root.Handle.Get());
    if (const Volume* scanned = found_.ScannedVolume(name)) {
        if (scanned->HasSerial && root.Answers.HasSerial &&
            scanned->Serial != root.Answers.Serial) {
            root.Handle.Close();
            return root;
        }
        root.Answers.Recall(*scanned);
    }
    // A subst drive names its files from the real volume's root: the path an
    // open reached never reads as asked.
    std::wstring rootPath;
    root.NoOneOpen = !QueryPathFromRoot(root.Handle.Get(), rootPath) || rootPath != L"\\";
    return root;
}

void TFoundFileRemover::Keep(const std::wstring& path, FileHandle folder) {
    if (kept_.size() >= kKeptFolders)
        kept_.erase(std::min_element(kept_.begin(), kept_.end(), [](const auto& a, const auto& b) {
            return a.second.LastUse < b.second.LastUse;
        }));
    kept_[path] = {std::move(folder), ++uses_};
}

std::pair<HANDLE, size_t> TFoundFileRemover::NearestFolder(const std::wstring& dir, Root& root,
                                                           size_t rootLength) {
    // While every file is opened from the root, none is kept.
    for (size_t end = kept_.empty() ? rootLength : dir.size(); end > rootLength;
         end = dir.rfind(L'\\', end - 1)) {
        const auto kept = kept_.find(dir.substr(0, end));
        if (kept != kept_.end()) {
            kept->second.LastUse = ++uses_;
            return {kept->second.Handle.Get(), end};
        }
    }
    return {root.Handle.Get(), rootLength};
}

// The folder dir, from the nearest folder kept on its way down.
HANDLE TFoundFileRemover::Reach(const std::wstring& dir, Root& root, size_t rootLength) {
    auto [from, end] = NearestFolder(dir, root, rootLength);
    while (end < dir.size()) {
        const size_t start = end + 1;
        end = std::min(dir.find(L'\\', start), dir.size());
        const std::wstring path = dir.substr(0, end);
        FileHandle folder;
        if (OpenEntry(from, dir.substr(start, end - start), true, OpenFor::Checking, folder) != 0 ||
            !IsRecordedFolder(root.Answers, folder.Get(), found_.FolderId(path).value_or(FileId{})))
            return nullptr;
        from = folder.Get();
        Keep(path, std::move(folder));
    }
    return from;
}

// The file in one open, where it crossed no reparse point; where the system
// cannot vouch for that (it refuses the request, or, as Wine, follows links
// all the same and then tells where the open led), the walk decides.
TFoundFileRemover::OneOpen TFoundFileRemover::DeleteInOneOpen(const std::wstring& dir,
                                                              const FoundFile& file, Root& root,
                                                              size_t rootLength) {
    const auto [from, end] = NearestFolder(dir, root, rootLength);
    const std::wstring below =
        end < dir.size() ? dir.substr(end + 1) + L"\\" + file.Name : file.Name;
    FileHandle opened;
    const NTSTATUS status = OpenFileBelow(from, below, OpenFor::Deletion, opened);
    if (status == kStatusInvalidParameter) // before Windows 10 1803
        root.NoOneOpen = true;
    if (status == kStatusInvalidParameter || status == kStatusReparsePointEncountered)
        return OneOpen::Walk;
    if (status < 0)
        return OneOpen::Stays;
    const FileMatch match = MatchRecordedFile(root.Answers, opened.Get(), file.Id, file.LastWrite,
                                              dir.substr(rootLength) + L"\\" + file.Name);
    if (match == FileMatch::ReachedElsewhere)
        return OneOpen::Walk;
    return match == FileMatch::Recorded && DeleteByHandle(root.Answers, opened.Get())
               ? OneOpen::Deleted
               : OneOpen::Stays;
}

bool TFoundFileRemover::Delete(const std::wstring& dir, const FoundFile& file) {
    const size_t rootLength = RootLength(dir);
    if (rootLength == 0)
        return false;
    Root& root = RootOf(dir, rootLength);
    if (!root.Handle.Valid())
        return false;
    // Without an ID to tell the file apart, only the walk's checks of each
    // folder on the way can; on a share, whose server follows junctions on
    // the way itself and tells the path as asked, only the walk sees them.
    if (file.Id.Known() && !root.NoOneOpen && !root.Answers.Remote) {
        const OneOpen reached = DeleteInOneOpen(dir, file, root, rootLength);
        if (reached != OneOpen::Walk)
            return reached == OneOpen::Deleted;
    }
    HANDLE folder = Reach(dir, root, rootLength);
    FileHandle opened;
    return folder && OpenEntry(folder, file.Name, false, OpenFor::Deletion, opened) == 0 &&
           DeleteIfRecorded(root.Answers, opened.Get(), file);
}

} // namespace dv
