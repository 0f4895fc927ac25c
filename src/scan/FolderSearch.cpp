#include "scan/FolderSearch.h"

#include "app/FindHandle.h"
#include "app/LongPaths.h"
#include "app/Strings.h"
#include "scan/NameMatch.h"

#include <windows.h>

#include <vector>

namespace dv {

namespace {

// A folder link or junction is not entered: it can lead back into the tree
// (an endless walk) or to files that the walk reaches by their own path.
bool IsWalkableFolder(const WIN32_FIND_DATAW& entry) {
    const DWORD attributes = entry.dwFileAttributes;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT) && !IsDotEntry(entry.cFileName);
}

// The names of the folders right below one, in listing order; false when it
// cannot be listed.
bool ListSubfolders(const std::wstring& folder, std::vector<std::wstring>& names) {
    WIN32_FIND_DATAW entry;
    FindHandle search(VerbatimPath(folder + L"\\*"), entry);
    if (!search.Valid())
        return false;
    do {
        if (IsWalkableFolder(entry))
            names.emplace_back(entry.cFileName);
    } while (search.Next(entry));
    return true;
}

} // namespace

void WalkFolders(const std::wstring& root, const FolderVisit& visit) {
    // The folders still to visit, the next one last: a deep tree costs memory,
    // never the thread's stack.
    std::vector<std::wstring> pending{root};
    std::vector<std::wstring> below;
    while (!pending.empty()) {
        const std::wstring folder = std::move(pending.back());
        pending.pop_back();
        below.clear();
        const bool listed = ListSubfolders(folder, below);
        visit(folder, listed);
        for (auto name = below.rbegin(); name != below.rend(); ++name)
            pending.push_back(folder + L"\\" + *name);
    }
}

void SearchFolder(const std::wstring& folder, const std::wstring& pattern,
                  const PatternSearchReport& report) {
    WIN32_FIND_DATAW entry;
    FindHandle search(VerbatimPath(folder + L"\\" + pattern), entry);
    if (!search.Valid())
        return;
    for (bool more = true; more;) {
        if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
            NameMatchesPattern(pattern, entry.cFileName))
            report.Found(entry.cFileName, FileSize64(entry.nFileSizeHigh, entry.nFileSizeLow));
        more = search.Next(entry);
        report.Fetched();
    }
}

} // namespace dv
