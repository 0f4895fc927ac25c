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

struct Memory {
    int64_t WorkingSet, PeakWorkingSet, PeakPagefile;
};
Memory ProcessMemory();

} // namespace dvbench
