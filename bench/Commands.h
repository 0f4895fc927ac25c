#pragma once
// The measurements, one per command of dormivane_bench; each prints one
// Report line.
#include <functional>
#include <string>
#include <vector>

namespace dvbench {

// Bare loops: the platform calls of an operation and nothing else.
// The scan's listing per directory and search per pattern per directory;
// with showStatus also the scan's label and list output on plain controls.
void FloorScan(const std::string& drive, int expected, bool showStatus, bool visible);
// The scan's directory pass alone, by handle: the drive's root opened by path,
// each folder below it relative to its parent by exact name and checked
// against that listing, one listing each; with showStatus also "Scanning: <n>"
// per folder on a plain label.
void FloorScanHandles(const std::string& drive, int expectedDirs, bool showStatus, bool visible);
// DelDir's calls: enter, list, set attributes, delete, remove directory; with
// showStatus also each deleted file's name set and repainted on a plain label.
void FloorClean(const std::string& root, bool showStatus);
// The clean's calls by handle: open relative, check against the listing, list,
// clear attributes, delete; with showStatus also each deleted file's name
// shown as above.
void FloorCleanHandles(const std::string& root, bool showStatus);
// One DeleteFileA per match of a generated scan tree; with showStatus also
// the path set and repainted on a plain status bar and a plain progress bar
// stepped and repainted, per file. The floors' own window is hidden unless
// visible.
void FloorRemove(const std::string& drive, int expected, bool showStatus, bool visible);
// The removal's calls by handle per match of a generated scan tree and nothing
// else: the open from the drive's root by the rest of its path, the one query
// of its path, ID and time, the plain disposition, the close; one thread.
void FloorRemoveCalls(const std::string& drive, int expected);
// What a scan must do per match and nothing else: an append, the owner-data
// list view told the new count (unless not tellCount), the message pump; in a
// window of its own.
void FloorMatches(int matches, bool tellCount, bool visible);

// The same operations through a real main window, hidden unless visible.
// The scan of one drive with every default pattern ticked, or only the one
// given; with removeAfter, then "Select all" (timed) and "Delete" over
// everything it listed; with timePass, also its pattern pass, from the first
// "Searching..." on Label9 to its end.
void FormScan(const std::string& drive, int expected, bool removeAfter, bool visible,
              const std::string& onlyPattern = "", bool timePass = false);
// "Clean now!" with the tree as the one user directory.
void FormClean(const std::string& root, bool visible);

// Start-up of a program beside the benchmark: to its window on screen, and
// to the end of an unattended start.
void StartupShown(const std::string& program, const std::string& windowClass);
void StartupAuto(const std::string& program);

// Runs a command (its name first) with the NT file calls counted by kind, and
// prints the counts after the command's own line.
void CountCalls(const std::vector<std::string>& command,
                const std::function<void(const std::vector<std::string>&)>& run);

// Where the time above the floors goes, phase by phase.
void ProfileCalls(const std::string& drive);
void ProfileCleanLabel(int files, bool visible);
void ProfileRemove(const std::string& drive, bool visible);
void ProfileRemoveSteps(const std::string& drive);
void ProfileRemoveCalls(const std::string& drive);
void ProfileRemoveRun(const std::string& drive, bool visible);
void ProfileWalkSteps(const std::string& drive);
void ProfileInsert(const std::string& drive, bool visible);
void ProfileMatchSteps(const std::string& drive, bool visible);

} // namespace dvbench
