#pragma once
// File work by handle: every entry is opened relative to the folder that
// listed it, by the exact name the disk gave, so no path rule of Win32 (final
// dots and blanks dropped, "nul" or "con.txt" taken as a device) applies, and
// nothing is resolved again from the root. Each open asks only the rights its
// step uses, and each answer a volume may give (no attribute tags on FAT, no
// file IDs on some shares, no POSIX deletion) is taken as that volume's way.
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

// The attributes a program may set (FILE_ATTRIBUTE_VALID_SET_FLAGS).
constexpr DWORD kSettableAttributes = 0x31a7;

// A link or junction: the entry is a reparse point.
inline bool IsLink(DWORD attributes) { return attributes & FILE_ATTRIBUTE_REPARSE_POINT; }

// One entry of a folder's listing, as the disk gave it.
struct ListedEntry {
    std::wstring Name;
    DWORD Attributes;
    uint64_t Size;
    uint64_t FileId; // 0 or all ones where the volume gives none

    bool IsDirectory() const { return Attributes & FILE_ATTRIBUTE_DIRECTORY; }
    bool IsLink() const { return dv::IsLink(Attributes); }
};

// What a volume has shown it cannot answer, remembered for the rest of the
// run of the program: asked once, then the fallback serves.
struct Volume {
    bool NoStatQuery = false;    // attributes and ID in one query (Windows 10 1709 on)
    bool NoAttributeTag = false; // FAT and exFAT
    bool NoPosixDelete = false;  // before Windows 10 1607, FAT, most shares

    // The volume an opened handle lies on, by its serial number.
    static Volume& Of(HANDLE entry);
};

// The rights an open asks for, beyond reading the entry's attributes.
namespace OpenFor {
constexpr unsigned Checking = 0;        // a folder to open entries in; an entry to check
constexpr unsigned Listing = 1;         // a folder to list
constexpr unsigned ClearAttributes = 2; // attributes to write
constexpr unsigned Deletion = 4;        // to delete
} // namespace OpenFor

// Opens a folder by its path, for listing and for opening entries relative to it.
// Returns the system error code, 0 on success.
DWORD OpenFolderByPath(const std::wstring& path, FileHandle& folder);

// Opens an entry of a folder by its exact name, never through a link where the
// platform can tell (the link itself is opened). Returns the system error code.
DWORD OpenEntry(HANDLE parent, const std::wstring& name, bool directory, unsigned purpose,
                FileHandle& entry);

// Reads a folder's whole listing, "." and ".." left out; false, with no
// entries, when it cannot be listed.
bool ReadListing(HANDLE folder, std::vector<ListedEntry>& entries);

// What an opened handle says it is.
struct Identity {
    DWORD Attributes = 0;
    uint64_t FileId = 0; // 0 where the volume gives none
};
// False when the handle tells not even its attributes.
bool QueryIdentity(Volume& volume, HANDLE opened, Identity& identity);

// Whether two file IDs may name the same file: one that a volume does not give
// (0 or all ones) cannot tell, and never counts as another file.
bool SameFileId(uint64_t a, uint64_t b);

// Whether an opened handle is the entry its parent listed: the same kind, a
// link exactly where the listing showed one, the same file ID. A link swapped
// in after the listing fails this even where the platform opens the link's
// target.
bool IsListedEntry(Volume& volume, HANDLE opened, const ListedEntry& listed);

// Sets the attributes through the handle; false when refused.
bool SetAttributesByHandle(HANDLE entry, DWORD attributes);

// Deletes the entry for good through its handle (a folder must be empty).
bool DeleteByHandle(Volume& volume, HANDLE entry);

} // namespace dv
