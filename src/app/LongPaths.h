#pragma once
// Paths of any length: past MAX_PATH the platform reaches a file only through
// the "\\?\" form of its full path.
#include <string>

namespace dv {

// The longest path that every Windows takes as it is.
constexpr size_t kShortPathLimit = 259;

// The full form of a path of any length: doubled separators collapse, "." and
// ".." resolve. The path as it is where the platform cannot make it full.
std::wstring FullPath(const std::wstring& path);

// The "\\?\" form of a path, made full first (doubled separators collapse).
std::wstring ExtendedPath(const std::wstring& path);

// A full path ("C:\..." or "\\server\share\..." with single separators) in its
// "\\?\" form, taken as it stands: a final dot or blank stays, "nul" is no
// device, and no length limit applies short of the platform's own.
std::wstring VerbatimPath(const std::wstring& fullPath);

// A full path as the platform takes it: as it is while short, in its "\\?\"
// form past the limit.
std::wstring PlatformPath(const std::wstring& fullPath);

} // namespace dv
