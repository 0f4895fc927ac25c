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

    std::string FTempDir;
    std::string FRecentDir;
    std::string FCacheDir;
    std::string FHistoryDir;
    std::string FCookiesDir;
    StringList FUserDirs;
};

// The user directory file beside the program.
std::string UserDirFile();

inline constexpr char kShellFoldersKey[] =
    "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

} // namespace dv
