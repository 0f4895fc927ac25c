#pragma once
// What the benchmark commands share: timing, reporting, and the trees they
// work on.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dvbench {

// Wall-clock time inside this process, from construction.
class Stopwatch {
  public:
    Stopwatch();
    double Seconds() const;

  private:
    LARGE_INTEGER start_;
};

// One line of "key=value" results on stdout, printed when it goes.
class Report {
  public:
    Report() = default;
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;
    ~Report();
    Report& Add(const std::string& key, double value);
    Report& Add(const std::string& key, int64_t value);
    Report& Add(const std::string& key, const std::string& value);

  private:
    std::string line_;
};

// A hidden frame the size of the program's window, of a window class of its
// own, whose procedure finds data in GWLP_USERDATA.
HWND MakeFrame(const wchar_t* className, WNDPROC procedure, void* data);

// Every tree the benchmarks make or empty lies below this folder.
inline constexpr char kBenchRoot[] = "C:\\dvbench";
// Throws unless path lies below kBenchRoot or is a drive whose root holds a
// tree made here.
void RequireBenchPath(const std::string& path);

// Directories are made breadth first, `Branching` below each, until `Dirs`
// exist below the root; the files are spread evenly over them.
struct TreeShape {
    int Dirs = 0;
    int Files = 0;
    int Branching = 10;
};

// A scan tree: `matches` of its files match one wildcard default pattern
// each, the others none.
void GenerateScanTree(const std::string& root, TreeShape shape, int matches);
// A clean tree: files of mixed sizes, some read-only or hidden.
void GenerateCleanTree(const std::string& root, TreeShape shape);
// Whether a file of a generated scan tree is one of its matches.
bool IsGeneratedMatch(const char* name);

// The default patterns, in their designed order.
const std::vector<std::string>& DefaultPatterns();

// Calls visit(directory) for root and every directory below it.
void WalkDirectories(const std::string& root, const std::function<void(const std::string&)>& visit);
// Calls visit(directory, entry) for every file of root and below.
void WalkFiles(const std::string& root,
               const std::function<void(const std::string&, const WIN32_FIND_DATAA&)>& visit);
// Full paths of the files below root whose names the platform search matches
// with pattern.
std::vector<std::string> MatchingFiles(const std::string& root, const std::string& pattern);
// Number of entries (files and directories) below root.
int CountEntries(const std::string& root);

} // namespace dvbench
