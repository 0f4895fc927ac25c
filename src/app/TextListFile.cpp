#include "app/TextListFile.h"

#include "app/Errors.h"
#include "app/Strings.h"

#include <windows.h>

#include <algorithm>

namespace dv {

StringList ParseTextList(const std::string& text) {
    StringList lines;
    size_t end = text.find('\0');
    if (end == std::string::npos)
        end = text.size();
    size_t pos = 0;
    while (pos < end) {
        size_t eol = std::min(text.find_first_of("\r\n", pos), end);
        lines.push_back(text.substr(pos, eol - pos));
        if (eol == end)
            break;
        pos = eol + 1;
        if (text[eol] == '\r' && pos < end && text[pos] == '\n')
            ++pos;
    }
    return lines;
}

std::string FormatTextList(const StringList& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    return text;
}

namespace {

class FileHandle {
  public:
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() {
        if (valid())
            CloseHandle(handle_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return handle_; }
    void close() {
        if (valid())
            CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
    }

  private:
    HANDLE handle_;
};

bool WriteAll(HANDLE file, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        DWORD written = 0;
        DWORD chunk = DWORD(std::min<size_t>(text.size() - done, 1 << 20));
        if (!WriteFile(file, text.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

} // namespace

StringList LoadTextList(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        throw EFOpenError(WideToAnsi(path));
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    return ParseTextList(text);
}

void SaveTextList(const std::wstring& path, const StringList& lines) {
    // Some file systems let a rename replace a read-only file; a read-only list
    // is kept as it is on every one.
    DWORD existing = GetFileAttributesW(path.c_str());
    if (existing != INVALID_FILE_ATTRIBUTES && (existing & FILE_ATTRIBUTE_READONLY))
        throw EFCreateError(WideToAnsi(path));
    const std::wstring temporary = path + L".new";
    FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid())
        throw EFCreateError(WideToAnsi(path));
    bool written = WriteAll(file.get(), FormatTextList(lines)) && FlushFileBuffers(file.get());
    file.close();
    if (!written || !MoveFileExW(temporary.c_str(), path.c_str(),
                                 MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        DeleteFileW(temporary.c_str());
        throw EFCreateError(WideToAnsi(path));
    }
}

} // namespace dv
