// Emptying one directory tree, working through the process's current directory
// so that every entry is named by its bare name.
#include "app/Errors.h"
#include "app/FindHandle.h"
#include "app/Strings.h"
#include "ui/UnitMainForm.h"

#include <windows.h>

namespace dv {

namespace {

void EnterDirectory(const std::string& path) {
    if (path.empty())
        throw EInOutError(ERROR_PATH_NOT_FOUND);
    if (!SetCurrentDirectoryA(path.c_str()))
        throw EInOutError(GetLastError());
}

bool IsDotEntry(const char* name) {
    return (name[0] == '.' && name[1] == '\0') ||
           (name[0] == '.' && name[1] == '.' && name[2] == '\0');
}

} // namespace

void TSForm::DelDir(const std::string& directory, const std::string& name) {
    const std::string working = name.empty() ? directory : directory + "\\" + name;
    EnterDirectory(working);
    WIN32_FIND_DATAA entry;
    FindHandle search(working + "\\*.*", entry);
    if (!search.Valid())
        return;
    do {
        if (IsDotEntry(entry.cFileName))
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction or directory link is left where it is: entering it would
            // delete files outside the target, and removing it can remove the
            // directory it points to instead of the link.
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                continue;
            DelDir(working, entry.cFileName);
            EnterDirectory(working);
            SetFileAttributesA(entry.cFileName, FILE_ATTRIBUTE_DIRECTORY);
            RemoveDirectoryA(entry.cFileName); // a directory that still holds something stays
            continue;
        }
        if (LowerAscii(entry.cFileName) == "desktop.ini")
            continue;
        // Attributes set through a file link would change the file it points to,
        // outside the target; the link itself is deleted as it stands.
        const bool link = entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
        if (!link && !SetFileAttributesA(entry.cFileName, entry.dwFileAttributes & ~DWORD(7)))
            continue;
        if (!DeleteFileA(entry.cFileName))
            continue;
        CleanedKB += SizeToKB(FileSize64(entry.nFileSizeHigh, entry.nFileSizeLow));
        lprog.SetCaption(entry.cFileName);
        lprog.Repaint();
    } while (search.Next(entry));
}

} // namespace dv
