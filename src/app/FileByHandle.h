#pragma once
// File work by handle: every entry is opened relative to the folder that
// listed it, by the exact name the disk gave, so no path rule of Win32 (final
// dots and blanks dropped, "nul" or "con.txt" taken as a device) applies, and
// nothing is resolved again from the root.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace dv {

class FileHandle {
  public:
    FileHandle() = default;
    explicit FileHandle(HANDLE handle) : handle_(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(FileHandle&& other) noexcept : handle_(other.Release()) {}
    FileHandle& operator=(FileHandle&& other) noexcept;
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;

    HANDLE Get() const { return handle_; }
    bool Valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
    HANDLE Release();
    void Close();

  private:
    HANDLE handle_ = nullptr;
};

// One entry of a folder's listing, as the disk gave it.
struct ListedEntry {
    std::wstring Name;
    DWORD Attributes;
    uint64_t Size;
    uint64_t FileId;

    bool IsDirectory() const { return Attributes & FILE_ATTRIBUTE_DIRECTORY; }
    bool IsLink() const { return Attributes & FILE_ATTRIBUTE_REPARSE_POINT; }
};

// What an entry is opened for.
enum class OpenFor {
    Removal,    // list (folders), clear attributes and delete
    Attributes, // clear attributes only: someone holds it without delete sharing
    Listing,    // list only (folders): attributes may not be written
};

// Opens a folder by its path, for listing and for opening entries relative to it.
// Returns the system error code, 0 on success.
DWORD OpenFolderByPath(const std::wstring& path, FileHandle& folder);

// Opens an entry of a folder by its exact name, never through a link where the
// platform can tell (the link itself is opened). Returns the system error code.
DWORD OpenEntry(HANDLE parent, const std::wstring& name, bool directory, OpenFor purpose,
                FileHandle& entry);

// Reads a folder's whole listing, "." and ".." left out; false when it cannot be
// listed.
bool ReadListing(HANDLE folder, std::vector<ListedEntry>& entries);

// Whether an opened handle is the entry its parent listed: no link, the same
// kind, the same file ID. A link swapped in after the listing fails this even
// where the platform opens the link's target.
bool IsListedEntry(HANDLE opened, const ListedEntry& listed);

// Sets the attributes through the handle; false when refused.
bool SetAttributesByHandle(HANDLE entry, DWORD attributes);

// Deletes the entry for good through its handle (a folder must be empty).
bool DeleteByHandle(HANDLE entry);

} // namespace dv
