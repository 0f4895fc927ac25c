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

// A link: a reparse point whose tag says it stands for another path
// (symbolic links, junctions, mount points, WSL links), or whose tag cannot be
// read. Other reparse points (deduplicated or compressed files, the folders of
// a projected file system, socket files) are the files and folders they seem.
inline bool IsLink(DWORD attributes, ULONG reparseTag) {
    const ULONG kNameSurrogate = 0x20000000;
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           (reparseTag == 0 || (reparseTag & kNameSurrogate));
}

// One entry of a folder's listing, as the disk gave it.
struct ListedEntry {
    std::wstring Name;
    DWORD Attributes;
    uint64_t Size;
    uint64_t FileId;  // 0 or all ones where the volume gives none
    ULONG ReparseTag; // 0 where the listing does not tell

    bool IsDirectory() const { return Attributes & FILE_ATTRIBUTE_DIRECTORY; }
    bool IsLink() const { return dv::IsLink(Attributes, ReparseTag); }
};

// What the volume of one walk has shown it cannot answer, remembered for the
// rest of that walk: asked once, then the plainer request serves. A walk never
// enters a link, so it never leaves its volume.
struct Volume {
    bool NoStatQuery = false;    // attributes and ID in one query (Windows 10 1709 on)
    bool NoAttributeTag = false; // FAT and exFAT
    bool NoIdListing = false;    // some shares list no file IDs
    bool NoPosixDelete = false;  // before Windows 10 1607, FAT, most shares
    // The IDs a listing gives are not those a handle gives (ReFS and Dev
    // Drives, some servers): neither tells whether an entry is the one listed.
    // Learned from the first listing whose "." has an ID.
    bool UnknownIds = false;
    bool IdsCompared = false;

    // The volume of a walk's root, with what it tells of its IDs.
    static Volume Of(HANDLE root);
    // The same with the IDs compared from the root's listing at once, for a
    // walk that checks entries before it lists a folder.
    static Volume OfListedRoot(HANDLE root);
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
bool ReadListing(Volume& volume, HANDLE folder, std::vector<ListedEntry>& entries);

// What an opened handle says it is.
struct Identity {
    DWORD Attributes = 0;
    uint64_t FileId = 0;  // 0 where the volume gives none, or none to compare
    ULONG ReparseTag = 0; // 0 where the volume does not tell
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

// Whether an opened handle is the folder a scan recorded with this ID: a
// folder, no link, the same file ID.
bool IsRecordedFolder(Volume& volume, HANDLE opened, uint64_t recordedId);

// Sets the attributes through the handle; false when refused.
bool SetAttributesByHandle(HANDLE entry, DWORD attributes);

// Deletes the entry for good through its handle (a folder must be empty).
bool DeleteByHandle(Volume& volume, HANDLE entry);

} // namespace dv
