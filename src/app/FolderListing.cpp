// A folder's listing by handle, in the richest class its volume knows, and
// what the listings teach the volume of its IDs.
#include "app/FindHandle.h"
#include "app/VolumeQueries.h"

#include <cstddef>
#include <cstring>
#include <iterator>
#include <optional>

namespace dv {

namespace {

// The fields every listing class begins with; what follows depends on the class.
struct RecordHead {
    ULONG NextEntryOffset, FileIndex;
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime;
    LARGE_INTEGER EndOfFile, AllocationSize;
    ULONG FileAttributes, FileNameLength;
};

// FILE_ID_EXTD_DIR_INFORMATION: the 128-bit ID and the tag in fields of their own.
struct IdExtdRecord {
    RecordHead Head;
    ULONG EaSize, ReparsePointTag;
    BYTE FileId[16];
    WCHAR FileName[1];
};

// A listing class and where its records keep what the walks read.
struct ListingClass {
    FILE_INFORMATION_CLASS Class;
    OptionalClass Known; // what the volume answered to it
    IdKind Ids;
    size_t NameAt;
    size_t TagAt; // a reparse point's tag; 0: the class does not tell it
    size_t IdAt;
};

// Richest first. FILE_DIRECTORY_INFORMATION, the plainest, is the head and the name.
const ListingClass kListings[] = {
    {FileClass::IdExtdDirectory, OptionalClass::IdExtdListing, IdKind::Wide,
     offsetof(IdExtdRecord, FileName), offsetof(IdExtdRecord, ReparsePointTag),
     offsetof(IdExtdRecord, FileId)},
    // A reparse point's tag stands where extended attributes' size would.
    {FileClass::IdBothDirectory, OptionalClass::IdBothListing, IdKind::Narrow,
     offsetof(FILE_ID_BOTH_DIR_INFO, FileName), offsetof(FILE_ID_BOTH_DIR_INFO, EaSize),
     offsetof(FILE_ID_BOTH_DIR_INFO, FileId)},
    {FileClass::FullDirectory, OptionalClass::FullListing, IdKind::None,
     offsetof(FILE_FULL_DIR_INFO, FileName), offsetof(FILE_FULL_DIR_INFO, EaSize), 0},
    {FileClass::Directory, OptionalClass::PlainListing, IdKind::None, sizeof(RecordHead), 0, 0},
};

template <class T> T Read(const char* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

ListedEntry EntryOf(const char* record, const ListingClass& listing) {
    const auto& head = *reinterpret_cast<const RecordHead*>(record);
    ListedEntry entry{std::wstring(reinterpret_cast<const wchar_t*>(record + listing.NameAt),
                                   head.FileNameLength / sizeof(wchar_t)),
                      head.FileAttributes,
                      uint64_t(head.EndOfFile.QuadPart),
                      {},
                      0,
                      head.LastWriteTime.QuadPart};
    if (listing.TagAt && (head.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        entry.ReparseTag = Read<ULONG>(record + listing.TagAt);
    if (listing.Ids == IdKind::Narrow)
        entry.Id = FileId::Narrow(Read<uint64_t>(record + listing.IdAt));
    else if (listing.Ids == IdKind::Wide)
        entry.Id = FileId::Wide(Read<uint64_t>(record + listing.IdAt),
                                Read<uint64_t>(record + listing.IdAt + 8));
    return entry;
}

// Room for some hundreds of entries per call; 8-byte aligned as the records
// are, and kept for the next folder.
std::vector<LONGLONG>& Buffer() {
    static thread_local std::vector<LONGLONG> buffer(8192);
    return buffer;
}

// The records of one read, and how many bytes of the buffer they fill.
struct Records {
    NTSTATUS Status;
    ULONG Bytes;
};

Records ReadRecords(HANDLE folder, FILE_INFORMATION_CLASS kind, bool restart) {
    std::vector<LONGLONG>& buffer = Buffer();
    Records read{};
    read.Status = Nt().QueryDirectory(
        folder, buffer.data(), ULONG(buffer.size() * sizeof(LONGLONG)), kind, restart, read.Bytes);
    return read;
}

// An empty FAT or exFAT root has not even "." to list.
bool Listed(NTSTATUS status) {
    return status >= 0 || status == kStatusNoMoreFiles || status == kStatusNoSuchFile;
}

// A read that ends the listing: nothing more, or (a filter) success with no bytes.
bool LastRead(const Records& read) {
    return read.Status == kStatusNoMoreFiles || read.Status == kStatusNoSuchFile ||
           (read.Status >= 0 && read.Bytes == 0);
}

// Whether a listing class may serve the walk now: the volume may know it, and
// once the walk has learned which IDs it compares, it gives those IDs.
bool MayServe(const Volume& volume, const ListingClass& listing) {
    return volume.MayKnow(listing.Known) &&
           (!volume.IdsLearned || volume.Ids == IdKind::None || listing.Ids == volume.Ids);
}

// Reads the first records in the richest class that may serve; null when none
// is answered. A class the volume does not know is given up for the walk;
// any other refusal leaves the plainer classes to serve this folder, and
// such a stand-in never teaches the walk its ID kinds (standIn).
const ListingClass* StartListing(Volume& volume, HANDLE folder, Records& read, bool& standIn) {
    standIn = false;
    for (const ListingClass& listing : kListings) {
        if (!MayServe(volume, listing))
            continue;
        read = ReadRecords(folder, listing.Class, true);
        volume.Heard(listing.Known, Listed(read.Status) ? 0 : read.Status);
        if (Listed(read.Status))
            return &listing;
        if (TellsOfEntry(read.Status))
            return nullptr;
        standIn = standIn || volume.MayKnow(listing.Known);
    }
    return nullptr;
}

// Appends the records of one read, each name as the disk holds it; the "."
// record goes to self. Nothing is read past the bytes the read filled. False
// when a record runs past them, or leads to one that does not lie further on
// inside them: the listing cannot be followed (an offset that wraps would
// read it for ever), and what it holds so far is only part of the folder.
bool AppendRecords(const ListingClass& listing, ULONG bytes, std::vector<ListedEntry>& entries,
                   std::optional<ListedEntry>& self) {
    const char* buffer = reinterpret_cast<const char*>(Buffer().data());
    for (ULONG offset = 0;;) {
        if (bytes - offset < listing.NameAt)
            return false;
        const auto& head = *reinterpret_cast<const RecordHead*>(buffer + offset);
        if (head.FileNameLength > bytes - offset - listing.NameAt)
            return false;
        ListedEntry entry = EntryOf(buffer + offset, listing);
        if (!IsDotEntry(entry.Name.c_str()))
            entries.push_back(std::move(entry));
        else if (entry.Name == L".")
            self = std::move(entry);
        if (head.NextEntryOffset == 0)
            return true;
        if (head.NextEntryOffset >= bytes - offset)
            return false;
        offset += head.NextEntryOffset;
    }
}

// Compares the ID a folder's listing gave "." with the one its handle gives.
// Listings of 128-bit IDs are of no use where handles give none: the volume's
// 64-bit ones serve instead, and are learned anew.
void CompareIdKinds(Volume& volume, HANDLE folder, const FileId& listed) {
    if (!listed.Known())
        return;
    const FileId opened = HandleId(volume, folder, listed.Kind);
    if (opened.Kind != listed.Kind) {
        if (listed.Kind == IdKind::Wide && !volume.MayKnow(OptionalClass::WideHandleId))
            volume.GiveUp(OptionalClass::IdExtdListing);
        return;
    }
    volume.IdsLearned = true;
    volume.Ids = opened.Known() && opened == listed ? listed.Kind : IdKind::None;
}

// Reads a whole listing in the richest class that may serve; null, with no
// entries, when the folder cannot be listed.
const ListingClass* ReadAll(Volume& volume, HANDLE folder, std::vector<ListedEntry>& entries,
                            std::optional<ListedEntry>& self, bool& standIn) {
    entries.clear();
    Records read{};
    const ListingClass* listing = StartListing(volume, folder, read, standIn);
    for (; listing && !LastRead(read); read = ReadRecords(folder, listing->Class, false)) {
        if (read.Status < 0 || !AppendRecords(*listing, read.Bytes, entries, self)) {
            entries.clear();
            return nullptr;
        }
    }
    return listing;
}

// The ID the folder's listing gives ".", where it is listed in the richest
// class the volume may know.
std::optional<ListedEntry> ListedSelf(Volume& volume, HANDLE folder) {
    Records read{};
    bool standIn = false;
    const ListingClass* listing = StartListing(volume, folder, read, standIn);
    std::vector<ListedEntry> entries;
    std::optional<ListedEntry> self;
    if (listing && !standIn && read.Status >= 0)
        AppendRecords(*listing, read.Bytes, entries, self);
    return self;
}

// A root lists no "." (a share of one neither): the first folder below it
// that can be listed teaches instead. Its "." and its handle tell the kinds
// apart, whatever its entry in the root says, which is what gets checked.
void LearnFromFolderBelow(Volume& volume, HANDLE root, const std::vector<ListedEntry>& entries) {
    for (const ListedEntry& entry : entries) {
        FileHandle below;
        if (!entry.IsDirectory() || entry.IsLink() ||
            OpenEntry(root, entry.Name, true, OpenFor::Listing, below) != 0)
            continue;
        if (const std::optional<ListedEntry> self = ListedSelf(volume, below.Get())) {
            CompareIdKinds(volume, below.Get(), self->Id);
            return;
        }
    }
}

} // namespace

bool ReadListing(Volume& volume, HANDLE folder, std::vector<ListedEntry>& entries) {
    std::optional<ListedEntry> self;
    bool standIn = false;
    const ListingClass* listing = ReadAll(volume, folder, entries, self, standIn);
    if (!listing)
        return false;
    if (volume.IdsLearned || standIn)
        return true;
    if (self)
        CompareIdKinds(volume, folder, self->Id);
    else
        LearnFromFolderBelow(volume, folder, entries);
    // Learning gave the class up: the entries carry IDs no handle gives.
    return volume.MayKnow(listing->Known) || ReadListing(volume, folder, entries);
}

} // namespace dv
