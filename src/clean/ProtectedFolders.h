#pragma once
// The folders a clean never empties: the root of a volume or of a share, the
// Windows folder, the profile, and every folder that holds one of them.
// Emptying any of them would wreck the system or the user's files, whichever
// path, link or drive letter led there: each is known by what it is on disk.
#include "app/FolderIdentity.h"

#include <string>
#include <vector>

namespace dv {

class TProtectedFolders {
  public:
    // Opens the Windows folder, the profile (by the environment and by the
    // account), each folder above them and each fixed drive's root, once.
    TProtectedFolders();

    // Whether the opened folder is one of them.
    bool Protects(HANDLE folder) const;

  private:
    // The folder and each folder above it.
    void AddWithParents(const std::wstring& path);
    // Adds the folder, opened through any link; the path it is known by: the
    // one the system reached, else the one asked.
    std::wstring Add(const std::wstring& path);
    void AddFixedDriveRoots();

    std::vector<FolderIdentity> folders_;
};

} // namespace dv
