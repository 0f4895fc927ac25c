#pragma once
// A real main window set up as a user leaves it before a click: its settings
// key, shell folders and list files in a known state, dialogs answered.
#include "ui/UnitMainForm.h"

#include <cstdint>
#include <memory>
#include <string>

namespace dvbench {

// Creates the window (running FormCreate) with no target ticked, no user
// directory and the default patterns; hidden unless visible, with the given
// page in front. Throws when the window asked anything on its way up.
std::unique_ptr<dv::TSForm> MakeForm(bool visible, int page);

// Makes the benchmark's drive the only entry of cDisks, ticked.
void SelectDrive(dv::TSForm& form, const std::string& drive);
// Ticks only the pattern given, or every pattern when it is empty.
void TickPatterns(dv::TSForm& form, const std::string& only = "");

// Dialogs the window showed since MakeForm (each answered at once).
int DialogCount();
// The freed-space total stored in the settings key.
int64_t CleanedTotal();

// This process's memory as GetProcessMemoryInfo gives it. Under Wine the
// working set is the host's resident set (VmRSS of /proc/self/status), its
// peak the host's high-water mark (VmHWM), and the pagefile figure the
// resident anonymous memory plus swap (current, not a peak).
struct Memory {
    int64_t WorkingSet, PeakWorkingSet, Pagefile;
};
Memory ProcessMemory();

} // namespace dvbench
