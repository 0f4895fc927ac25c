#pragma once
#include <string>

namespace dv {

// The command stored in the start-up entry for the program at programPath.
std::string StartupCommand(const std::string& programPath);

} // namespace dv
