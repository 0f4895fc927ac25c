#pragma once
// Deleting found files without a window, each exactly the file listed: it is
// reached from its drive's root one folder at a time, each folder opened
// relative to its parent by its exact name and checked against the parent's
// listing, and deleted through its own handle. A folder on the way that is now
// a link or another folder ends that file: the tree changed since the scan.
#include "app/FileByHandle.h"

#include <functional>
#include <list>
#include <string>
#include <unordered_map>

namespace dv {

class TFoundFileRemover {
  public:
    // Deletes the file name in the folder dir ("C:\a\b", as the scan recorded
    // it); false when it is gone, no longer where it was, or refused.
    bool Delete(const std::wstring& dir, const std::wstring& name);

    // Runs after a folder's listing is read, before anything below it is opened.
    std::function<void(const std::wstring& folder)> AfterListing;

  private:
    struct Folder {
        std::wstring Path;
        FileHandle Handle;
        std::unordered_map<std::wstring, ListedEntry> Entries;
    };
    Folder* Reach(const std::wstring& dir);
    Folder* Open(const std::wstring& path, FileHandle handle);
    Folder* Nearest(const std::wstring& dir);

    // The folders of the last few files, the latest first: files found in one
    // folder, or near it, are reached without opening their folders again.
    std::list<Folder> recent_;
};

} // namespace dv
