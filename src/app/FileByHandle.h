#pragma once
// File work by handle: every entry is opened relative to the folder that
// listed it, by the exact name the disk gave, so no path rule of Win32 (final
// dots and blanks dropped, "nul" or "con.txt" taken as a device) applies, and
// nothing is resolved again from the root. Each open asks only the rights its
// step uses. A class of information a volume does not know (no attribute tags
// on FAT, no file IDs on some shares, no POSIX deletion) is given up for the
// walk once the volume says so before it ever answered it; any other refusal
// is about that moment or that entry, and the plainer request serves for that
// entry alone. No check of an ID passes without an ID to compare.
#include "app/FileId.h"

#include <windows.h>
#include <winternl.h>

#include <cstdint>
#include <string>
#include <string_view>
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
    FileId Id;         // of the kind the listing gave; none where it gave none
    ULONG ReparseTag;  // 0 where the listing does not tell
    int64_t LastWrite; // as the listing gave it

    bool IsDirectory() const { return Attributes & FILE_ATTRIBUTE_DIRECTORY; }
    bool IsLink() const { return dv::IsLink(Attributes, ReparseTag); }
};

// The classes of information a volume may not know, each asked where it may be.
enum class OptionalClass : uint8_t {
    Stat,          // attributes and ID in one query (Windows 10 1709 on)
    AttributeTag,  // not on FAT and exFAT
    WideHandleId,  // 128-bit IDs of handles (Windows 8 on)
    PosixDelete,   // offered from Windows 10 1607 on, not by FAT or most shares
    AllAtOnce,     // path, ID and times in one query; not by some servers and filters
    IdExtdListing, // the listings, richest first: 128-bit IDs and tags
    IdBothListing, // 64-bit IDs and tags
    FullListing,   // tags
    PlainListing,
    Count,
};

// What a volume has answered to an optional class.
enum class ClassAnswer : uint8_t { NotAsked, Answered, Unknown };

// What the volume of one walk says it is and supports, what it has answered
// to the optional classes, and which IDs it gives alike in listings and
// handles. A walk never enters a link, so it never leaves its volume.
struct Volume {
    bool Remote = false;  // a share: the server resolves every name again
    bool IdsLast = false; // a file keeps its ID for life (not on FAT, exFAT, Wine)
    bool HasSerial = false;
    uint32_t Serial = 0; // the volume's serial number, where it tells one
    // The kind of ID the volume's listings and its handles give alike, learned
    // from the first folder whose listing gives "." an ID (below the root: a
    // root lists no "."); none until then, and where the two differ (some
    // servers), since neither then tells whether an entry is the one listed.
    IdKind Ids = IdKind::None;
    bool IdsLearned = false;

    // The volume of a walk's root, as it says what it is and supports.
    static Volume Of(HANDLE root);

    // Whether a class is worth asking: the volume has not said it does not know it.
    bool MayKnow(OptionalClass kind) const { return Answer(kind) != ClassAnswer::Unknown; }
    // Takes in how a request of the class was answered. A refusal that says
    // the volume does not know the class gives it up for the walk, unless the
    // class has answered on this volume before: then the refusal speaks for
    // that request alone (fastfat, Samba and WinFsp also answer such a
    // status for other reasons).
    void Heard(OptionalClass kind, NTSTATUS status);
    // Gives a class up whatever it answered before.
    void GiveUp(OptionalClass kind) { Answer(kind) = ClassAnswer::Unknown; }
    // Takes in what an earlier walk of this volume heard of each class it
    // asked, answers and refusals alike, so that every ID is read from the
    // class the earlier walk read it from. Where it is another disk after
    // all, a class it does not know fails each request, which fails every
    // check it serves.
    void Recall(const Volume& earlier);

  private:
    ClassAnswer& Answer(OptionalClass kind) { return answers_[size_t(kind)]; }
    ClassAnswer Answer(OptionalClass kind) const { return answers_[size_t(kind)]; }

    ClassAnswer answers_[size_t(OptionalClass::Count)] = {};
};

// The ID as the volume's listings and handles both give it, or none where
// they do not give it alike (or not yet known to).
FileId Comparable(const Volume& volume, const FileId& listed);

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

// Opens a file below a folder by its path from there ("a\b\c.tmp") in one
// call that crosses no reparse point where the platform can tell: a reparse
// point anywhere on the way answers STATUS_REPARSE_POINT_ENCOUNTERED (Windows
// 10 1803 on), and systems before refuse the request as an invalid parameter.
// Wine takes the request and follows links all the same. Returns the status.
NTSTATUS OpenFileBelow(HANDLE folder, const std::wstring& path, unsigned purpose, FileHandle& file);

// The path an opened entry was reached by, from its volume's root
// ("\a\c.tmp"; on a share, "\server\share\a\c.tmp"): where a link
// led, its target's. False when the volume does not tell it.
bool QueryPathFromRoot(HANDLE opened, std::wstring& path);

// Reads a folder's whole listing, "." and ".." left out; false, with no
// entries, when it cannot be listed. The first listing of a walk in the
// richest class its volume knows that shows "." with an ID teaches the volume
// its ID kinds; at a root, which lists no ".", the first folder below that can
// be listed does. From then on a folder that cannot be listed with IDs of the
// kind learned is not listed at all: its entries could not be checked.
bool ReadListing(Volume& volume, HANDLE folder, std::vector<ListedEntry>& entries);

// What an opened handle says it is.
struct Identity {
    DWORD Attributes = 0;
    FileId Id;            // of the kind asked; none where none was asked
    ULONG ReparseTag = 0; // 0 where the volume does not tell
};
// Reads the attributes and the ID of the kind asked (none where the handle
// cannot give one of that kind now). False when the handle tells not even its
// attributes: the entry cannot be checked.
bool QueryIdentity(Volume& volume, HANDLE opened, IdKind kind, Identity& identity);

// Whether an opened handle is the entry its parent listed: the same kind, a
// link exactly where the listing showed one, the same file ID where the
// volume gives IDs alike. A link swapped in after the listing fails this even
// where the platform opens the link's target.
bool IsListedEntry(Volume& volume, HANDLE opened, const ListedEntry& listed);

// Whether an opened handle is the folder a scan recorded with this ID (one the
// volume gives alike, or none): a folder, no link, the same file ID.
bool IsRecordedFolder(Volume& volume, HANDLE opened, const FileId& recorded);

// How a handle opened as a file, never a folder, compares with a file the
// scan recorded: its ID (none: not compared), its last-write time (0: not
// told) and, where one is given, the path from its volume's root it was
// reached by. The time is compared wherever no ID was: where IDs do not
// last, a file deleted and made anew may come back with its old ID, and a
// file recorded without one has nothing else to tell it; a file written to
// since cannot be told from such a one. The open vouches for the kind: the
// check asks no more. A file that cannot be read is another; one reached by
// another path than the one given is ReachedElsewhere, whatever else it is,
// and so is one whose path is not told with the rest (the volume refused the
// one query of them all).
enum class FileMatch { Recorded, Other, ReachedElsewhere };
FileMatch MatchRecordedFile(Volume& volume, HANDLE openedFile, const FileId& recorded,
                            int64_t lastWrite, std::wstring_view reachedBy = {});

// Sets the attributes through the handle; false when refused.
bool SetAttributesByHandle(HANDLE entry, DWORD attributes);

// Deletes the entry for good through its handle (a folder must be empty).
bool DeleteByHandle(Volume& volume, HANDLE entry);

} // namespace dv
