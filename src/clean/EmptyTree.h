#pragma once
// Emptying one folder tree without a window: one walk by handle, each entry
// opened relative to the folder that listed it, checked to be what was listed,
// and deleted through its own handle. Depth is bounded by the disk alone.
#include "app/FileByHandle.h"

#include <string>
#include <vector>

namespace dv {

class TreeEmptyingObserver {
  public:
    virtual ~TreeEmptyingObserver() = default;
    // A file was deleted; its size is the one its folder listed.
    virtual void FileDeleted(const std::wstring& name, uint64_t size) = 0;
    // The walk comes to another entry, deleted or not.
    virtual void EntryReached() {}
};

// Opens a cleaning target by its path. Raises the I/O error of the system code
// when it cannot be opened or is no folder.
FileHandle OpenTarget(const std::wstring& path);

// Deletes every file below the folder except "desktop.ini", and every folder
// below it once emptied; links are left where they are, never entered. Raises
// the I/O error of the system code when a folder below cannot be opened.
void EmptyTree(HANDLE target, TreeEmptyingObserver& observer);

} // namespace dv
