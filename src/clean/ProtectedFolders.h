#pragma once
#include <string>

namespace dv {

// Whether a system folder path resolves to a drive root, a share root, the
// Windows directory or the profile root. The platform falls back to these when
// TMP and TEMP are unset, and a mistyped shell-folder value can name one;
// emptying it would wreck the system.
bool IsProtectedFolder(const std::string& path);

} // namespace dv
