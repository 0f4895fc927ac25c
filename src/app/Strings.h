#pragma once
// Text helpers shared by every part of the program. Stored texts (list files,
// settings, the command line) are single-byte ANSI; names found on disk are
// UTF-16 from the directory search until they go back to the disk.
#include <cstdint>
#include <string>

namespace dv {

// Letter case folding touches only the ASCII letters A to Z.
std::string LowerAscii(std::string text);
std::string UpperAscii(std::string text);
std::wstring LowerAscii(std::wstring text);
std::wstring UpperAscii(std::wstring text);

// Conversions with the ANSI code page: a stored text meeting the file work, and
// a shown text read back for a stored format. No character is ever taken for
// a look-alike ("Ł" for "L"): one the code page lacks becomes its default
// character, which no path holds.
std::wstring AnsiToWide(const std::string& text);
std::string WideToAnsi(const std::wstring& text);
// The ANSI text that reads back as exactly this text; false where the code
// page cannot spell it.
bool ExactAnsi(const std::wstring& text, std::string& ansi);

// Whole kilobytes of a file size, truncated.
int64_t SizeToKB(uint64_t bytes);

// Size of a directory-search record, using both halves the search reports.
inline uint64_t FileSize64(uint32_t high, uint32_t low) { return (uint64_t(high) << 32) | low; }

// 32-bit addition that wraps around instead of overflowing.
inline int32_t WrapAdd(int32_t a, int64_t b) {
    return int32_t(uint32_t(a) + uint32_t(uint64_t(b)));
}

// Directory of the running program file, with its final "\".
std::string ProgramDir();
// The same in UTF-16, for the files the program opens there.
std::wstring ProgramFolder();

// Full path of the running program file as the system reports it, in UTF-16.
std::wstring ProgramFile();

// Whether a path names an existing file (not a directory).
bool FileExists(const std::string& path);
bool FileExists(const std::wstring& path);

// A drive-letter path ("C:\...") or a UNC path ("\\server\share...").
bool IsFullPath(const std::wstring& path);

// The length of the root a full path starts with: the drive ("C:") or the
// share ("\\server\share"); 0 for a path that is not full.
size_t RootLength(const std::string& path);
size_t RootLength(const std::wstring& path);

} // namespace dv
