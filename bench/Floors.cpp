// The floors: bare loops that make the platform calls of an operation and
// nothing else, timed as the operation is.
#include "Bench.h"
#include "Commands.h"

#include <stdexcept>

namespace dvbench {

namespace {

bool IsDot(const char* name) { return name[0] == '.' && name[1] == '\0'; }
bool IsDotDot(const char* name) { return name[0] == '.' && name[1] == '.' && name[2] == '\0'; }

// The directory pass: one "\*" listing per directory, recording a directory
// when its "." entry comes.
void ListDirectories(const std::string& dir, std::vector<std::string>& found) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsDot(entry.cFileName))
            found.push_back(dir);
        else if (!IsDotDot(entry.cFileName) && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ListDirectories(dir + "\\" + entry.cFileName, found);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

// The pattern pass: one search per pattern per recorded directory.
int SearchPatterns(const std::vector<std::string>& dirs) {
    int matches = 0;
    for (const std::string& pattern : DefaultPatterns())
        for (const std::string& dir : dirs) {
            WIN32_FIND_DATAA entry;
            HANDLE search = FindFirstFileA((dir + "\\" + pattern).c_str(), &entry);
            if (search == INVALID_HANDLE_VALUE)
                continue;
            do {
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ++matches;
            } while (FindNextFileA(search, &entry));
            FindClose(search);
        }
    return matches;
}

// Emptying through the current directory, entries named by their bare names.
void EmptyDirectory(const std::string& working) {
    if (!SetCurrentDirectoryA(working.c_str()))
        throw std::runtime_error("cannot enter " + working);
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((working + "\\*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsDot(entry.cFileName) || IsDotDot(entry.cFileName))
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EmptyDirectory(working + "\\" + entry.cFileName);
            SetCurrentDirectoryA(working.c_str());
            SetFileAttributesA(entry.cFileName, FILE_ATTRIBUTE_DIRECTORY);
            RemoveDirectoryA(entry.cFileName);
        } else if (SetFileAttributesA(entry.cFileName, entry.dwFileAttributes & ~DWORD(7))) {
            DeleteFileA(entry.cFileName);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

} // namespace

void FloorScan(const std::string& drive, int expected) {
    RequireBenchPath(drive);
    Stopwatch clock;
    std::vector<std::string> dirs;
    ListDirectories(drive, dirs);
    const double listing = clock.Seconds();
    const int matches = SearchPatterns(dirs);
    const double total = clock.Seconds();
    Report()
        .Add("seconds", total)
        .Add("listing", listing)
        .Add("dirs", int64_t(dirs.size()))
        .Add("matches", int64_t(matches))
        .Add("ok", int64_t(matches == expected));
}

void FloorClean(const std::string& root) {
    RequireBenchPath(root);
    Stopwatch clock;
    EmptyDirectory(root);
    const double seconds = clock.Seconds();
    SetCurrentDirectoryA(kBenchRoot);
    const int left = CountEntries(root);
    Report().Add("seconds", seconds).Add("left", int64_t(left)).Add("ok", int64_t(left == 0));
}

void FloorRemove(const std::string& drive, int expected) {
    RequireBenchPath(drive);
    std::vector<std::string> files;
    WalkFiles(drive, [&](const std::string& dir, const WIN32_FIND_DATAA& entry) {
        if (IsGeneratedMatch(entry.cFileName))
            files.push_back(dir + "\\" + entry.cFileName);
    });
    Stopwatch clock;
    int deleted = 0;
    for (const std::string& file : files)
        deleted += DeleteFileA(file.c_str()) ? 1 : 0;
    const double seconds = clock.Seconds();
    Report()
        .Add("seconds", seconds)
        .Add("deleted", int64_t(deleted))
        .Add("ok", int64_t(deleted == expected));
}

} // namespace dvbench
