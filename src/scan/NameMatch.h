#pragma once
// Whether a file's own long name matches a file-type pattern, by the rules the
// directory search applies: "*" any run, "?" one character (none before a dot
// or at the end), "*." and ".*" as in "*.*", letters without regard to case.
// The directory search also matches a name's short 8.3 form ("KEEP~1.TMP" for
// "keep.tmpl"); this test never does.
#include <string>

namespace dv {

bool NameMatchesPattern(const std::wstring& pattern, const std::wstring& name);

} // namespace dv
