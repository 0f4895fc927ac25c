#pragma once
// The plain-text list files beside the program: one entry per line.
#include <string>
#include <vector>

namespace dv {

using StringList = std::vector<std::string>;

// A line ends at CR, LF or CR LF; a NUL ends the text; a final line without
// line end is an entry; an empty line is an empty entry.
StringList ParseTextList(const std::string& text);

// CR LF after every line, the last one too.
std::string FormatTextList(const StringList& lines);

// Raises EFOpenError when the file exists but cannot be read.
StringList LoadTextList(const std::wstring& path);

// Writes a new file beside the old one and swaps it in with one rename, so a
// failed save never leaves a truncated list. Raises EFCreateError on failure,
// leaving the earlier file as it was.
void SaveTextList(const std::wstring& path, const StringList& lines);

} // namespace dv
