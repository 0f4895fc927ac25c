// The operations through a real main window, as its buttons run them.
#include "Bench.h"
#include "Commands.h"
#include "FormSetup.h"

namespace dvbench {

namespace {

// "Select all" then "Delete" over everything the scan listed; reports the
// time of "Delete".
void RemoveEverything(dv::TSForm& form, Report& report) {
    const int items = form.ListFiles.Count();
    form.bSelAllClick();
    Stopwatch clock;
    form.bDeleteClick();
    const double seconds = clock.Seconds();
    report.Add("remove_seconds", seconds)
        .Add("remove_ok", int64_t(items > 0 && form.ListFiles.Count() == 0))
        .Add("removed", form.Label9.Caption());
}

} // namespace

void FormScan(const std::string& drive, int expected, bool removeAfter, bool visible) {
    RequireBenchPath(drive);
    auto form = MakeForm(visible, 1);
    SelectDrive(*form, drive);
    TickPatterns(*form);
    const Memory before = ProcessMemory();
    Stopwatch clock;
    form->bScanClick();
    const double seconds = clock.Seconds();
    const Memory after = ProcessMemory();
    const int items = form->ListFiles.Count();
    Report report;
    report.Add("seconds", seconds)
        .Add("items", int64_t(items))
        .Add("ok", int64_t(items == expected && form->cExt.Count() == 19))
        .Add("ws_before", before.WorkingSet)
        .Add("peak_ws", after.PeakWorkingSet)
        .Add("peak_pagefile", after.PeakPagefile);
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
