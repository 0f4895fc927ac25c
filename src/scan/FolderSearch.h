#pragma once
// The scan's file work without a window, by handle: the walk that lists every
// folder of a drive once, and the listing of recorded folders again. A drive's
// root is opened by path; every folder below it relative to its parent, by the
// exact name the parent's listing gave, so a folder "d." or "s " is reached as
// it is, at any depth.
#include "app/FileByHandle.h"
#include "app/ScanRecord.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace dv {

// Called for the walk's root and every folder below it, depth-first, each
// before the folders below it, in listing order: the folder's place in the
// record and its listing, or TFolderTable::kNone and null when it could not be
// opened or listed.
using FolderReached = std::function<void(uint32_t folder, const std::vector<ListedEntry>* entries)>;

// Walks root ("C:", or a folder below a drive's root) and every folder below
// it. The record gets each folder that lists, recorded but for a drive's root,
// the folders on the way down to root, not recorded, and what the walk learned
// of the drive's volume. Links are not entered.
void WalkFolders(const std::wstring& root, TScanRecord& record, const FolderReached& reached);

// Lists folders of the record again, each reached from its drive's root by
// handle and checked as its walk learned the volume; asked for in the
// record's order, they share the opening of the folders above them.
class TRecordedFolderLister {
  public:
    explicit TRecordedFolderLister(const TScanRecord& record)
        : record_(record), folders_(record.Folders()) {}
    // false when the folder, or one on its way, cannot be opened or listed.
    bool List(uint32_t folder, std::vector<ListedEntry>& entries);

  private:
    bool Open(uint32_t folder);

    const TScanRecord& record_;
    const TFolderTable& folders_;
    Volume volume_; // of the drive in hand
    // The open folders from a drive's root down.
    std::vector<std::pair<uint32_t, FileHandle>> open_;
};

} // namespace dv
