#pragma once
// Deleting found files without a window, each exactly the file the scan found.
// Where the file's ID tells it apart on a local volume, it is opened in one
// call from the nearest folder in hand (or the drive's root) by the rest of
// its path, a call that crosses no reparse point; then its ID and the path it
// was reached by are checked against the scan's record, and it is deleted
// through its own handle. Otherwise, and wherever that call cannot vouch for
// its way, the file is reached from the root one folder at a time, each
// folder opened relative to the one above by its exact name and checked
// against the ID the scan recorded for it. A folder on the way that is now a
// link or another folder ends that file: the tree changed since the scan. No
// folder is listed again. A drive whose volume tells another serial number
// than the scan's holds another disk now: every file found on it stays. The
// removal starts from what the volume answered to each class of information
// during the scan: a class that answered stays in use, so that a refusal of
// it later speaks for that one file, and a class given up is not asked
// again, so that each ID is read from the class the scan's was.
#include "app/FileByHandle.h"
#include "app/FoundFiles.h"

#include <map>
#include <string>
#include <unordered_map>

namespace dv {

class TFoundFileRemover {
  public:
    // The store tells what the scan recorded of each folder and drive.
    explicit TFoundFileRemover(const TFoundFiles& found) : found_(found) {}

    // Deletes the file in the folder dir ("C:\a\b", as the scan recorded it)
    // if it is still the one the scan recorded; false when it is gone, no
    // longer where it was, another, or refused.
    bool Delete(const std::wstring& dir, const FoundFile& file);

  private:
    // A drive or share, opened once; one that cannot be opened stays in hand,
    // unopened, so that the files found on it fail at once.
    struct Root {
        FileHandle Handle;
        Volume Answers;
        // The system cannot open without crossing reparse points, or names a
        // file by another root (a subst drive).
        bool NoOneOpen = false;
    };
    struct KeptFolder {
        FileHandle Handle;
        uint64_t LastUse = 0;
    };
    enum class OneOpen { Deleted, Stays, Walk };

    Root& RootOf(const std::wstring& dir, size_t rootLength);
    // The nearest folder in hand on the way down to dir, and where its path ends.
    std::pair<HANDLE, size_t> NearestFolder(const std::wstring& dir, Root& root, size_t rootLength);
    OneOpen DeleteInOneOpen(const std::wstring& dir, const FoundFile& file, Root& root,
                            size_t rootLength);
    HANDLE Reach(const std::wstring& dir, Root& root, size_t rootLength);
    void Keep(const std::wstring& path, FileHandle folder);

    const TFoundFiles& found_;
    std::map<std::wstring, Root> roots_;
    // Folders below the roots opened and checked once, by path, so that the
    // files of one folder and of its neighbours share their way down. On a
    // local volume a handle keeps reaching the folder checked, whatever its
    // name leads to later; on a share, an open relative to a handle is
    // resolved again by path on the server, and the file's own ID carries
    // the check. The least used go when there are too many.
    std::unordered_map<std::wstring, KeptFolder> kept_;
    uint64_t uses_ = 0;
};

} // namespace dv
