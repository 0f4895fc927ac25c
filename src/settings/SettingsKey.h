#pragma once
// Where the program keeps its settings and its start-up entry.

namespace dv {

// Under HKEY_LOCAL_MACHINE, always addressed from the root.
inline constexpr char kSettingsKey[] = "\\Software\\Morvask\\Dormivane";
inline constexpr char kRunKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValue[] = "Dormivane";

} // namespace dv
