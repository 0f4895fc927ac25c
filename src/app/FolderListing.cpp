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
    IdKind Ids;
    size_t NameAt;
    size_t TagAt; // a reparse point's tag; 0: the class does not tell it
    size_t IdAt;
};

// Richest first. FILE_DIRECTORY_INFORMATION, the plainest, is the head and the name.
const ListingClass kListings[] = {
    {FileClass::IdExtdDirectory, IdKind::Wide, offsetof(IdExtdRecord, FileName),
     offsetof(IdExtdRecord, ReparsePointTag), offsetof(IdExtdRecord, FileId)},
    // A reparse point's tag stands where extended attributes' size would.
    {FileClass::IdBothDirectory, IdKind::Narrow, offsetof(FILE_ID_BOTH_DIR_INFO, FileName),
     offsetof(FILE_ID_BOTH_DIR_INFO, EaSize), offsetof(FILE_ID_BOTH_DIR_INFO, FileId)},
    {FileClass::FullDirectory, IdKind::None, offsetof(FILE_FULL_DIR_INFO, FileName),
     offsetof(FILE_FULL_DIR_INFO, EaSize), 0},
    {FileClass::Directory, IdKind::None, sizeof(RecordHead), 0, 0},
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
                      0};
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

NTSTATUS ReadRecords(HANDLE folder, FILE_INFORMATION_CLASS kind, bool restart) {
    std::vector<LONGLONG>& buffer = Buffer();
    return Nt().QueryDirectory(folder, buffer.data(), ULONG(buffer.size() * sizeof(LONGLONG)), kind,
                               restart);
}

// An empty FAT or exFAT root has not even "." to list.
bool Listed(NTSTATUS status) {
    return status >= 0 || status == kStatusNoMoreFiles || status == kStatusNoSuchFile;
}

// Reads the first records in the richest class the volume may know; null when
// none is answered. A class the volume does not know is given up for the walk;
// any other refusal leaves the plainer classes to serve this folder.
const ListingClass* StartListing(Volume& volume, HANDLE folder, NTSTATUS& status) {
    for (size_t i = 0; i < std::size(kListings); ++i) {
        if (volume.ListingsUnknown & (1u << i))
            continue;
        status = ReadRecords(folder, kListings[i].Class, true);
        if (Listed(status))
            return &kListings[i];
        if (TellsOfEntry(status))
            return nullptr;
        if (TellsOfVolume(status))
            volume.ListingsUnknown |= uint8_t(1u << i);
    }
    return nullptr;
}

// Appends the records of one read, each name as the disk holds it; the "."
// record goes to self.
void AppendRecords(const ListingClass& listing, std::vector<ListedEntry>& entries,
                   std::optional<ListedEntry>& self) {
    const char* bytes = reinterpret_cast<const char*>(Buffer().data());
    for (ULONG offset = 0;;) {
        ListedEntry entry = EntryOf(bytes + offset, listing);
        if (!IsDotEntry(entry.Name.c_str()))
            entries.push_back(std::move(entry));
        else if (entry.Name == L".")
            self = std::move(entry);
        const ULONG next = Read<ULONG>(bytes + offset);
        if (next == 0)
            return;
        offset += next;
    }
}

// Compares the ID a folder's listing gave "." with the one its handle gives.
void CompareIdKinds(Volume& volume, HANDLE folder, const FileId& listed) {
    FileId opened;
    if (!listed.Known() || !QueryHandleId(volume, folder, listed.Kind, opened))
        return;
    volume.IdsLearned = true;
    volume.Ids = opened.Known() && opened == listed ? listed.Kind : IdKind::None;
}

// The ID the folder's listing gives ".", from its first records.
std::optional<ListedEntry> ListedSelf(Volume& volume, HANDLE folder) {
    NTSTATUS status = 0;
    const ListingClass* listing = StartListing(volume, folder, status);
    std::vector<ListedEntry> entries;
    std::optional<ListedEntry> self;
    if (listing && status >= 0)
        AppendRecords(*listing, entries, self);
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
    entries.clear();
    NTSTATUS status = 0;
    const ListingClass* listing = StartListing(volume, folder, status);
    if (!listing)
        return false;
    std::optional<ListedEntry> self;
    for (; status != kStatusNoMoreFiles && status != kStatusNoSuchFile;
         status = ReadRecords(folder, listing->Class, false)) {
        if (status < 0) {
            entries.clear();
            return false;
        }
        AppendRecords(*listing, entries, self);
    }
    if (volume.IdsLearned)
        return true;
    if (self)
        CompareIdKinds(volume, folder, self->Id);
    else
        LearnFromFolderBelow(volume, folder, entries);
    return true;
}

} // namespace dv
