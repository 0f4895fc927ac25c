#pragma once
// The scan's file work without a window: the walk that finds every folder of a
// drive, and the search for one pattern in one folder. Every path is given to
// the platform in its "\\?\" form, so it reaches exactly the folder it names (a
// folder "d." is searched, not "d").
#include <cstdint>
#include <functional>
#include <string>

namespace dv {

// Visits every folder below a drive's root (given as "C:") in depth-first
// order, each before the folders below it, in the platform's listing order.
// Links are not entered. A folder that cannot be listed is visited but not
// walked. listed tells whether its listing could be read.
using FolderVisit = std::function<void(const std::wstring& folder, bool listed)>;
void WalkFolders(const std::wstring& root, const FolderVisit& visit);

// Searches one folder for the files whose own name matches the pattern; found
// is called for each match, fetched after every entry the search delivered.
struct PatternSearchReport {
    std::function<void(const std::wstring& name, uint64_t size)> Found;
    std::function<void()> Fetched;
};
void SearchFolder(const std::wstring& folder, const std::wstring& pattern,
                  const PatternSearchReport& report);

} // namespace dv
