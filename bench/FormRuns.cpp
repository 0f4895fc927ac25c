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

// When the scan's pattern pass begins: the first "Searching..." set on
// Label9, seen by a procedure put in front of the label's own (it costs the
// walk a little on every "Scanning: <n>", so only figures that ask have it).
struct PassStart {
    static inline WNDPROC labelProc = nullptr;
    static inline LARGE_INTEGER at{};

    static LRESULT CALLBACK Watch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_SETTEXT && at.QuadPart == 0 && lParam &&
            lstrcmpW(reinterpret_cast<const wchar_t*>(lParam), L"Searching...") == 0)
            QueryPerformanceCounter(&at);
        return CallWindowProcW(labelProc, hwnd, message, wParam, lParam);
    }
    static void Attach(HWND label) {
        at.QuadPart = 0;
        labelProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Watch)));
    }
    // Seconds from the pass's beginning until now, or -1 when it never began.
    static double Seconds() {
        LARGE_INTEGER now, frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return at.QuadPart == 0 ? -1 : double(now.QuadPart - at.QuadPart) / frequency.QuadPart;
    }
};

} // namespace

void FormScan(const std::string& drive, int expected, bool removeAfter, bool visible,
              const std::string& onlyPattern, bool timePass) {
    RequireBenchPath(drive);
    auto form = MakeForm(visible, 1);
    SelectDrive(*form, drive);
    TickPatterns(*form, onlyPattern);
    if (timePass)
        PassStart::Attach(form->Label9.Handle());
    const Memory before = ProcessMemory();
    Stopwatch clock;
    form->bScanClick();
    const double seconds = clock.Seconds();
    const double passSeconds = timePass ? PassStart::Seconds() : 0;
    const Memory after = ProcessMemory();
    const int items = form->ListFiles.Count();
    Report report;
    report.Add("seconds", seconds)
        .Add("items", int64_t(items))
        .Add("ok", int64_t(items == expected && form->FoundFiles.Count() == expected &&
                           form->cExt.Count() == 19 && (!timePass || passSeconds > 0)));
    if (timePass)
        report.Add("pass_seconds", passSeconds);
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
