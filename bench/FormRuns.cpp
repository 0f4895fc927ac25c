// The operations through a real main window, as its buttons run them.
#include "Bench.h"
#include "Commands.h"
#include "FormSetup.h"

namespace dvbench {

namespace {

// The working set, its peak so far and the pagefile figure, under a suffix
// naming the moment.
void AddMemory(Report& report, const std::string& when, const Memory& memory) {
    report.Add("ws_" + when, memory.WorkingSet)
        .Add("peak_ws_" + when, memory.PeakWorkingSet)
        .Add("pagefile_" + when, memory.Pagefile);
}

// "Select all" then "Delete" over everything the scan listed; reports the
// time of each and the memory once the list is empty.
void RemoveEverything(dv::TSForm& form, Report& report) {
    const int items = form.ListFiles.Count();
    Stopwatch selectClock;
    form.bSelAllClick();
    const double selectSeconds = selectClock.Seconds();
    int ticked = 0;
    for (int i = 0; i < form.FoundFiles.Count(); ++i)
        ticked += form.FoundFiles[i].Ticked ? 1 : 0;
    Stopwatch clock;
    form.bDeleteClick();
    const double seconds = clock.Seconds();
    report.Add("select_seconds", selectSeconds)
        .Add("select_ok", int64_t(items > 0 && ticked == items))
        .Add("remove_seconds", seconds)
        .Add("remove_ok",
             int64_t(items > 0 && form.ListFiles.Count() == 0 && form.FoundFiles.Count() == 0))
        .Add("removed", form.Label9.Caption());
    AddMemory(report, "removed", ProcessMemory());
}

} // namespace

void FormScan(const std::string& drive, int expected, bool removeAfter, bool visible,
              const std::string& onlyPattern) {
    RequireBenchPath(drive);
    auto form = MakeForm(visible, 1);
    SelectDrive(*form, drive);
    TickPatterns(*form, onlyPattern);
    const Memory before = ProcessMemory();
    Stopwatch clock;
    form->bScanClick();
    const double seconds = clock.Seconds();
    const Memory after = ProcessMemory();
    const int items = form->ListFiles.Count();
    Report report;
    report.Add("seconds", seconds)
        .Add("items", int64_t(items))
        .Add("ok", int64_t(items == expected && form->FoundFiles.Count() == expected &&
                           form->cExt.Count() == 19));
    AddMemory(report, "before", before);
    AddMemory(report, "scan", after);
    if (removeAfter)
        RemoveEverything(*form, report);
}

void FormClean(const std::string& root, bool visible) {
    RequireBenchPath(root);
    auto form = MakeForm(visible, 0);
    form->ListBox1.Add(root);
    Stopwatch clock;
    form->bCleanNowClick();
    const double seconds = clock.Seconds();
    SetCurrentDirectoryA(kBenchRoot);
    const int left = CountEntries(root);
    Report()
        .Add("seconds", seconds)
        .Add("left", int64_t(left))
        .Add("ok", int64_t(left == 0 && DialogCount() == 0))
        .Add("cleaned_kb", CleanedTotal())
        .Add("lprog", form->lprog.Caption());
}

} // namespace dvbench
