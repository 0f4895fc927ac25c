// Emptying one directory tree, working through the process's current directory
// so that every entry is named by its bare name. Past the length that every
// Windows takes as a current directory, the deeper part is emptied by full
// "\\?\" paths instead, with the same steps.
#include "app/Errors.h"
#include "app/FindHandle.h"
#include "app/LongPaths.h"
#include "app/Strings.h"
#include "ui/UnitMainForm.h"

#include <windows.h>

#include <optional>

namespace dv {

namespace {

// A directory being emptied, and how its entries are named.
struct Place {
    std::wstring Working; // the working path as formed
    bool Current;         // made the current directory: entries go by bare name
    std::wstring Full;    // otherwise its "\\?\" path, the base of every entry's name

    std::wstring Name(const std::wstring& entry) const {
        return Current ? entry : Full + L"\\" + entry;
    }
};

[[noreturn]] void RaiseLastError() { throw EInOutError(GetLastError()); }

// Makes the working path the current directory or, where that is out of reach,
// checks it by full path. Raises the I/O error when the directory cannot be
// entered; nothing when it lies beyond every path the platform takes.
std::optional<Place> Enter(const std::wstring& working) {
    if (working.empty())
        throw EInOutError(ERROR_PATH_NOT_FOUND);
    if (working.size() <= kShortPathLimit) {
        if (SetCurrentDirectoryW(working.c_str()))
            return Place{working, true, {}};
        if (GetLastError() != ERROR_FILENAME_EXCED_RANGE)
            RaiseLastError();
    }
    const std::wstring full = ExtendedPath(working);
    const DWORD attributes = GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        if (GetLastError() == ERROR_FILENAME_EXCED_RANGE)
            return std::nullopt;
        RaiseLastError();
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw EInOutError(ERROR_DIRECTORY);
    return Place{working, false, full};
}

// Back into a directory after one of its subdirectories was emptied.
void Reenter(const Place& place) {
    const bool reached = place.Current
                             ? SetCurrentDirectoryW(place.Working.c_str())
                             : GetFileAttributesW(place.Full.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!reached)
        RaiseLastError();
}

// Every entry of the directory, hidden, system and read-only ones included.
std::wstring SearchPattern(const Place& place) {
    if (!place.Current)
        return place.Name(L"*.*");
    const std::wstring pattern = place.Working + L"\\*.*";
    // Near the limit, the current directory itself is searched by a relative name.
    return pattern.size() <= kShortPathLimit ? pattern : L"*.*";
}

} // namespace

void TSForm::DelDir(const std::wstring& directory, const std::wstring& name) {
    const std::wstring working = name.empty() ? directory : directory + L"\\" + name;
    const std::optional<Place> place = Enter(working);
    if (!place)
        return; // beyond reach: passed over like a directory that cannot be listed
    WIN32_FIND_DATAW entry;
    FindHandle search(SearchPattern(*place), entry);
    if (!search.Valid())
        return;
    do {
        if (IsDotEntry(entry.cFileName))
            continue;
        const std::wstring entryName = place->Name(entry.cFileName);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            // A junction or directory link is left where it is: entering it would
            // delete files outside the target, and removing it can remove the
            // directory it points to instead of the link.
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
                continue;
            // Below a directory reached by full path, every deeper one is too.
            DelDir(place->Current ? working : place->Full, entry.cFileName);
            Reenter(*place);
            SetFileAttributesW(entryName.c_str(), FILE_ATTRIBUTE_DIRECTORY);
            RemoveDirectoryW(entryName.c_str()); // a directory that still holds something stays
            continue;
        }
        if (LowerAscii(std::wstring(entry.cFileName)) == L"desktop.ini")
            continue;
        // Attributes set through a file link would change the file it points to,
        // outside the target; the link itself is deleted as it stands.
        const bool link = entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
        if (!link && !SetFileAttributesW(entryName.c_str(), entry.dwFileAttributes & ~DWORD(7)))
            continue;
        if (!DeleteFileW(entryName.c_str()))
            continue;
        CleanedKB += SizeToKB(FileSize64(entry.nFileSizeHigh, entry.nFileSizeLow));
        lprog.SetCaption(std::wstring(entry.cFileName));
        lprog.Repaint();
    } while (search.Next(entry));
}

} // namespace dv
