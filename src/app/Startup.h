#pragma once
#include <string>

namespace dv {

// The command stored in the start-up entry for the program at programPath.
std::wstring StartupCommand(const std::wstring& programPath);

} // namespace dv
