#pragma once
#include <string>
#include <vector>

namespace dv {

// Splits a raw command line by the platform's usual rules: blanks and control
// characters separate arguments, double quotes group characters and are removed.
// The first element is the program path.
std::vector<std::string> SplitCommandLine(const std::string& line);

// Whether the first argument after the program path asks for the unattended clean.
bool IsUnattendedStart(const std::string& commandLine);

} // namespace dv
