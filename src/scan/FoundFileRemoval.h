#pragma once
// Deleting found files without a window, each exactly the file the scan found:
// it is reached from its drive's root one folder at a time, each folder opened
// relative to the one above by its exact name and checked against the ID the
// scan recorded for it, and the file, checked the same way, is deleted through
// its own handle. A folder on the way that is now a link or another folder
// ends that file: the tree changed since the scan. No folder is listed again.
#include "app/FileByHandle.h"

#include <functional>
#include <string>
#include <vector>

namespace dv {

// The file ID the scan recorded for a folder ("C:\a\b"); 0 where it has none.
using RecordedFolderId = std::function<uint64_t(const std::wstring& folder)>;

class TFoundFileRemover {
  public:
    explicit TFoundFileRemover(RecordedFolderId recordedId) : recordedId_(std::move(recordedId)) {}

    // Deletes the file name in the folder dir ("C:\a\b", as the scan recorded
    // it) whose ID the scan recorded; false when it is gone, no longer where
    // it was, or refused.
    bool Delete(const std::wstring& dir, const std::wstring& name, uint64_t fileId);

  private:
    struct Step {
        std::wstring Name;
        FileHandle Handle;
    };
    HANDLE Reach(const std::wstring& dir);
    void OpenRoot(const std::wstring& root);

    RecordedFolderId recordedId_;
    // The drive or share in hand, and the folders of the current path below it,
    // each opened from the one above; all closed when the remover goes.
    std::wstring root_;
    FileHandle rootHandle_;
    Volume volume_;
    std::vector<Step> path_;
};

} // namespace dv
