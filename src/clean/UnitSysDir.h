#pragma once
// Where the five system folders are, looked up afresh on every request, and
// the user directories saved in "dv.ini".
#include "app/TextListFile.h"

#include <string>

namespace dv {

class TSysDir {
  public:
    // Loads "dv.ini" and reads the folder locations; tells the user once when
    // they cannot be read.
    TSysDir();

    // True when both the shell-folder key and the temporary directory could be read.
    bool ReadFolders();

    // In UTF-16 as the system gives them: a path that the ANSI code page
    // cannot spell would otherwise name a look-alike folder.
    std::wstring FTempDir;
    std::wstring FRecentDir;
    std::wstring FCacheDir;
    std::wstring FHistoryDir;
    std::wstring FCookiesDir;
    StringList FUserDirs;
};

// The user directory file beside the program.
std::wstring UserDirFile();

inline constexpr char kShellFoldersKey[] =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

} // namespace dv
