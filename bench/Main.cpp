// dormivane_bench: one measurement per call, printed as one line of
// "key=value" pairs; bench/run calls it in order and takes the medians.
#include "Bench.h"
#include "Commands.h"

#include "app/Application.h"

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <map>
#include <stdexcept>

namespace dvbench {

Stopwatch::Stopwatch() { QueryPerformanceCounter(&start_); }

double Stopwatch::Seconds() const {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart - start_.QuadPart) / double(frequency.QuadPart);
}

Report& Report::Add(const std::string& key, double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4f", value);
    return Add(key, std::string(text));
}

Report& Report::Add(const std::string& key, int64_t value) {
    return Add(key, std::to_string(value));
}

// Each value is one word: blanks become underscores.
Report& Report::Add(const std::string& key, const std::string& value) {
    std::string word = value.empty() ? "-" : value;
    for (char& c : word)
        if (c == ' ' || c == '\t')
            c = '_';
    line_ += (line_.empty() ? "" : " ") + key + "=" + word;
    return *this;
}

Report::~Report() {
    std::printf("%s\n", line_.c_str());
    std::fflush(stdout);
}

} // namespace dvbench

namespace {

using Arguments = std::vector<std::string>;
using Command = std::function<void(const Arguments&)>;

int Number(const Arguments& args, size_t index) {
    return index < args.size() ? std::atoi(args[index].c_str()) : 0;
}

bool HasFlag(const Arguments& args, const char* flag) {
    for (const std::string& arg : args)
        if (arg == flag)
            return true;
    return false;
}

// generate scan ROOT DIRS FILES MATCHES | generate clean ROOT DIRS FILES
void Generate(const Arguments& args) {
    const std::string& kind = args.at(0);
    const std::string& root = args.at(1);
    dvbench::RequireBenchPath(root);
    const dvbench::TreeShape shape{Number(args, 2), Number(args, 3), 10};
    dvbench::Stopwatch clock;
    if (kind == "scan")
        dvbench::GenerateScanTree(root, shape, Number(args, 4));
    else if (kind == "clean")
        dvbench::GenerateCleanTree(root, shape);
    else
        throw std::runtime_error("unknown tree kind " + kind);
    dvbench::Report().Add("seconds", clock.Seconds());
}

void DriveType(const Arguments& args) {
    const std::string root = args.at(0) + "\\";
    dvbench::Report()
        .Add("type", int64_t(GetDriveTypeA(root.c_str())))
        .Add("entries", int64_t(dvbench::CountEntries(args.at(0))));
}

const std::map<std::string, Command>& Commands() {
    using namespace dvbench;
    static const std::map<std::string, Command> commands = {
        {"generate", Generate},
        {"drive-type", DriveType},
        {"floor-scan",
         [](const Arguments& a) {
             FloorScan(a.at(0), Number(a, 1), HasFlag(a, "status"), HasFlag(a, "visible"));
         }},
        {"floor-scan-handles",
         [](const Arguments& a) {
             FloorScanHandles(a.at(0), Number(a, 1), HasFlag(a, "status"), HasFlag(a, "visible"));
         }},
        {"floor-clean", [](const Arguments& a) { FloorClean(a.at(0), HasFlag(a, "status")); }},
        {"floor-clean-handles",
         [](const Arguments& a) { FloorCleanHandles(a.at(0), HasFlag(a, "status")); }},
        {"floor-remove",
         [](const Arguments& a) {
             FloorRemove(a.at(0), Number(a, 1), HasFlag(a, "status"), HasFlag(a, "visible"));
         }},
        {"floor-remove-calls", [](const Arguments& a) { FloorRemoveCalls(a.at(0), Number(a, 1)); }},
        {"floor-matches",
         [](const Arguments& a) {
             FloorMatches(Number(a, 0), !HasFlag(a, "nocount"), HasFlag(a, "visible"));
         }},
        {"form-scan",
         [](const Arguments& a) {
             // "walk": a pattern no generated file matches, so only the walk is left.
             FormScan(a.at(0), Number(a, 1), HasFlag(a, "remove"), HasFlag(a, "visible"),
                      HasFlag(a, "one")    ? DefaultPatterns().front()
                      : HasFlag(a, "walk") ? "FILE_ID.DIZ"
                                           : "",
                      HasFlag(a, "pass"));
         }},
        {"form-clean", [](const Arguments& a) { FormClean(a.at(0), HasFlag(a, "visible")); }},
        {"count-calls",
         [](const Arguments& a) {
             CountCalls(a, [](const Arguments& command) {
                 Commands().at(command.front())(Arguments(command.begin() + 1, command.end()));
             });
         }},
        {"startup-shown", [](const Arguments& a) { StartupShown(a.at(0), a.at(1)); }},
        {"startup-auto", [](const Arguments& a) { StartupAuto(a.at(0)); }},
        {"profile-calls", [](const Arguments& a) { ProfileCalls(a.at(0)); }},
        {"profile-clean-label",
         [](const Arguments& a) { ProfileCleanLabel(Number(a, 0), HasFlag(a, "visible")); }},
        {"profile-remove",
         [](const Arguments& a) { ProfileRemove(a.at(0), HasFlag(a, "visible")); }},
        {"profile-remove-steps", [](const Arguments& a) { ProfileRemoveSteps(a.at(0)); }},
        {"profile-remove-calls", [](const Arguments& a) { ProfileRemoveCalls(a.at(0)); }},
        {"profile-remove-run",
         [](const Arguments& a) { ProfileRemoveRun(a.at(0), HasFlag(a, "visible")); }},
        {"profile-walk-steps", [](const Arguments& a) { ProfileWalkSteps(a.at(0)); }},
        {"profile-insert",
         [](const Arguments& a) { ProfileInsert(a.at(0), HasFlag(a, "visible")); }},
        {"profile-match-steps",
         [](const Arguments& a) { ProfileMatchSteps(a.at(0), HasFlag(a, "visible")); }},
    };
    return commands;
}

} // namespace

int main(int argc, char** argv) {
    // As the program's own entry does before it makes its window.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    OleInitialize(nullptr);
    dv::Application.Title = "Dormivane";
    dv::Application.HelpFile = "DORMIVANE.HLP";
    if (argc < 2 || !Commands().count(argv[1])) {
        std::fprintf(stderr, "usage: dormivane_bench COMMAND ARGS... (see bench/README.md)\n");
        return 2;
    }
    const Arguments args(argv + 2, argv + argc);
    try {
        Commands().at(argv[1])(args);
    } catch (const std::exception& error) {
        std::printf("error=%s\n", error.what());
        return 1;
    }
    return 0;
}
