#pragma once
// Plays, below one folder, what Windows answers there and Wine cannot: another
// volume (FAT without attribute tags, a share without file IDs, POSIX deletion
// refused or granted, ReFS with its 128-bit IDs, a filter refusing a class, a
// root that lists no ".", a serial number, a subst drive), Windows' links and
// other reparse points, and refusals for single entries (another account's
// folder, one held without sharing, one being deleted, a class refused for a
// moment). Every other answer is the real call's.
#include "app/NtFiles.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace dvtest {

// What volumes answer for a class of information they do not know.
constexpr NTSTATUS kStatusInvalidInfoClass = NTSTATUS(0xC0000003);
constexpr NTSTATUS kStatusInvalidParameter = NTSTATUS(0xC000000D);
constexpr NTSTATUS kStatusInvalidLevel = NTSTATUS(0xC0000148);
constexpr NTSTATUS kStatusInsufficientResources = NTSTATUS(0xC000009A);
constexpr ULONG kJunction = 0xA0000003, kSymbolicLink = 0xA000000C, kWslLink = 0xA000001D;
constexpr ULONG kSocketFile = 0x80000023, kProjectedFolder = 0x9000001C;

struct VolumePlay {
    NTSTATUS StatRefusal = 0;   // the one-query stat answered with this
    NTSTATUS TagRefusal = 0;    // the attribute tag answered with this
    NTSTATUS WideIdRefusal = 0; // the 128-bit ID of handles answered with this
    NTSTATUS NameRefusal = 0;   // a handle's name from the root answered with this
    bool NoFileIds = false;     // no listing with IDs, and all ones for every ID
    bool PosixRefused = false;
    bool PosixGranted = false;       // offered by the volume, played with the plain disposition
    bool PosixUnoffered = false;     // granted all the same (Windows 10 before 1709)
    bool IdsLast = false;            // files opened by ID: NTFS, ReFS
    uint64_t HandleIdBits = 0;       // or-ed into the 64-bit IDs handles give
    uint64_t StatIdBits = 0;         // or-ed into the stat's 64-bit IDs alone
    uint64_t InternalIdBits = 0;     // or-ed into the other classes' 64-bit IDs alone
    bool WideIds = false;            // 128-bit IDs listed too
    bool NarrowIdsVary = false;      // the 64 bits of each answer changed, as on ReFS
    bool RootWithoutDot = false;     // the folder lists as a root on Windows: no "." nor ".."
    bool DontReparseRefused = false; // opens that cross no reparse point: Windows before 1803
    bool DontReparseIgnored = false; // the same asked, links crossed all the same: Wine
    bool Share = false;      // a remote volume, whose server follows junctions on the way itself
    bool EmptyRoot = false;  // the folder lists as an empty FAT root: no "." even
    bool Subst = false;      // paths told from the real volume's root, as on a subst drive
    uint32_t Serial = 0;     // 0: none told, as Wine for a drive linked in after its start; also
                             // the serial number beside 128-bit IDs
    NTSTATUS AllRefusal = 0; // the one query of path, ID and times answered with this
    // Every ID all ones, and every 128-bit one the 64-bit "no ID" widened: ReFS
    // for files whose IDs do not fit 64 bits.
    bool IdsAllOnes = false;
};

// As fastfat answers: every class it lacks refused as an invalid parameter,
// but the 128-bit listing, refused as an invalid class (Wine's answer too).
inline const VolumePlay kFat = {.StatRefusal = kStatusInvalidParameter,
                                .TagRefusal = kStatusInvalidParameter,
                                .WideIdRefusal = kStatusInvalidParameter,
                                .PosixRefused = true};
inline const VolumePlay kReFS = {.WideIds = true, .NarrowIdsVary = true, .RootWithoutDot = true};

struct EntryPlay {
    NTSTATUS OpenRefused = 0;    // every open of the entry
    NTSTATUS ListingRefused = 0; // opens that would list it
    ULONG Tag = 0;               // a reparse point of this tag
    // Where an open that does not ask for the reparse point itself leads, by
    // its path below the folder; none: the entry itself.
    const char* Target = "";
    bool ListedPlain = false;   // a link only to its handle: swapped in after the listing
    bool OtherId = false;       // its handle gives another file's ID: swapped since
    DWORD Attributes = 0;       // bits Wine keeps on no folder (archive, not indexed), until set
    NTSTATUS Refusal = 0;       // its handle's stat, tag and 128-bit ID, and its listings with IDs
    NTSTATUS DeleteRefused = 0; // its deletion, either way
    NTSTATUS WideListingRefusal = 0; // its listing of 128-bit IDs
    bool FirstRecordCounted = false; // its listing's first read counts one record (a filter)
    bool EndsInNoBytes = false;      // its listing's end told as success with no bytes (a filter)
    bool NextOffsetWraps = false;    // its listing's last record leads back to the first
    bool OtherHighId = false;        // its handle's 128-bit ID another's of the same low 64 bits
    bool NameTooLong = false;        // its name told of almost 4 GiB at every ask (a server)
    ULONG LastRecordCut = 0;         // its listing's first read ends this far into the last record
    const char* IdOf = ""; // its handle's IDs those of this file anywhere, as on another volume
};

class PlayedVolume : public dv::NtFiles {
  public:
    // Plays below the folder (UTF-8 path) until destroyed.
    PlayedVolume(const std::string& folder, const VolumePlay& volume);
    ~PlayedVolume() override;
    PlayedVolume(const PlayedVolume&) = delete;
    PlayedVolume& operator=(const PlayedVolume&) = delete;

    // Plays an entry below the folder, by its relative path.
    void Play(const std::string& relative, const EntryPlay& entry);
    // Run after every open below the folder, and after the first read of a
    // listing there, with the relative path of the entry ("" for the folder).
    std::function<void(const std::string&relative)> AfterOpen, AfterListing;
    // The played attribute bits an entry still has.
    DWORD Attributes(const std::string& relative) const;
    // Deletions granted below the folder that asked for POSIX semantics.
    mutable int PosixDeletions = 0;

    NTSTATUS Open(HANDLE parent, const std::wstring& name, ACCESS_MASK access, ULONG options,
                  ULONG objectFlags, HANDLE& opened) const override;
    NTSTATUS QueryDirectory(HANDLE folder, void* buffer, ULONG size, FILE_INFORMATION_CLASS kind,
                            bool restart, ULONG& bytes) const override;
    NTSTATUS QueryInformation(HANDLE entry, void* buffer, ULONG size,
                              FILE_INFORMATION_CLASS kind) const override;
    NTSTATUS SetInformation(HANDLE entry, const void* buffer, ULONG size,
                            FILE_INFORMATION_CLASS kind) const override;
    NTSTATUS QueryVolume(HANDLE entry, void* buffer, ULONG size, ULONG kind) const override;

  private:
    // The path of an entry below the folder ("" for the folder itself), or
    // false outside it.
    bool Below(HANDLE entry, std::wstring& relative) const;
    const EntryPlay* Entry(const std::wstring& relative) const;
    bool CrossesReparsePoint(const std::wstring& relative, const std::wstring& name) const;
    void Learn(const std::string& folder);
    static std::wstring Inside(const std::wstring& relative, const std::wstring& name);

    NTSTATUS ListRecords(HANDLE folder, void* buffer, ULONG size, FILE_INFORMATION_CLASS kind,
                         bool restart, ULONG& bytes) const;
    void PlayRecords(const std::wstring& relative, void* buffer, FILE_INFORMATION_CLASS kind) const;
    NTSTATUS QueryStat(HANDLE entry, void* buffer, ULONG size) const;
    void NameFromPlayedRoot(void* buffer, ULONG size) const;
    uint64_t PlayedId(const EntryPlay* entry, uint64_t id, FILE_INFORMATION_CLASS kind) const;
    DWORD PlayedAttributes(const std::wstring& relative) const;

    // Every entry below the folder by its file ID, as made or as opened since.
    mutable std::map<uint64_t, std::wstring> known_;
    mutable uint64_t answers_ = 0; // of 64-bit IDs that vary
    // Played attribute bits by entry, as set since.
    mutable std::map<std::wstring, DWORD> attributes_;
    VolumePlay volume_;
    std::wstring folder_;
    std::map<std::wstring, EntryPlay> entries_;
};

} // namespace dvtest
