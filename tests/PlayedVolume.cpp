#include "PlayedVolume.h"

#include "PlayedBytes.h"

#include "TestSupport.h"

#include <cstddef>
#include <cstring>
#include <cwchar>
#include <vector>

namespace dvtest {

using namespace played;

namespace {

namespace FileClass = dv::FileClass;

// Where each answer keeps the attributes, and the reparse tag (0: nowhere).
size_t AttributesOffset(FILE_INFORMATION_CLASS kind) {
    return kind == FileClass::Basic ? 32 : kind == FileClass::Stat ? 56 : 0;
}
size_t TagOffset(FILE_INFORMATION_CLASS kind) {
    return kind == FileClass::Stat ? 60 : kind == FileClass::AttributeTag ? 4 : 0;
}

// Wine names a folder by any drive that leads to it, so entries are known by
// their file IDs, which it keeps.
uint64_t IdOf(HANDLE entry) {
    uint64_t id = 0;
    if (entry && dv::NtFiles().QueryInformation(entry, &id, sizeof id, FileClass::Internal) < 0)
        return 0;
    return id;
}

uint64_t IdAt(const std::string& path) {
    HANDLE entry = CreateFileW(W(path).c_str(), FILE_READ_ATTRIBUTES,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    EXPECT_NE(entry, INVALID_HANDLE_VALUE) << path;
    const uint64_t id = IdOf(entry);
    CloseHandle(entry);
    return id;
}

} // namespace

PlayedVolume::PlayedVolume(const std::string& folder, const VolumePlay& volume)
    : volume_(volume), folder_(W(folder)) {
    Learn(folder);
    dv::UseNtFiles(this);
}

void PlayedVolume::Learn(const std::string& folder) {
    for (const std::string& relative : TreeListing(folder))
        known_[IdAt(folder + "\\" + relative)] = Lower(W(relative));
    known_[IdAt(folder)] = L"";
}

std::wstring PlayedVolume::Inside(const std::wstring& relative, const std::wstring& name) {
    return relative.empty() ? Lower(name) : relative + L"\\" + Lower(name);
}

PlayedVolume::~PlayedVolume() { dv::UseNtFiles(nullptr); }

void PlayedVolume::Play(const std::string& relative, const EntryPlay& entry) {
    entries_[Lower(W(relative))] = entry;
    if (entry.Attributes)
        attributes_[Lower(W(relative))] = entry.Attributes;
}

bool PlayedVolume::Below(HANDLE entry, std::wstring& relative) const {
    const auto known = known_.find(IdOf(entry));
    if (known == known_.end())
        return false;
    relative = known->second;
    return true;
}

const EntryPlay* PlayedVolume::Entry(const std::wstring& relative) const {
    const auto entry = entries_.find(relative);
    return entry == entries_.end() ? nullptr : &entry->second;
}

NTSTATUS PlayedVolume::Open(HANDLE parent, const std::wstring& name, ACCESS_MASK access,
                            ULONG options, ULONG objectFlags, HANDLE& opened) const {
    std::wstring relative;
    if (!Below(parent, relative))
        return NtFiles::Open(parent, name, access, options, objectFlags, opened);
    if ((objectFlags & dv::kDontReparse) && !volume_.DontReparseIgnored && !volume_.Share) {
        if (volume_.DontReparseRefused)
            return kStatusInvalidParameter;
        if (CrossesReparsePoint(relative, name))
            return dv::kStatusReparsePointEncountered;
    }
    relative = Inside(relative, name);
    const EntryPlay* entry = Entry(relative);
    if (entry && entry->OpenRefused)
        return entry->OpenRefused;
    if (entry && entry->ListingRefused && (access & FILE_LIST_DIRECTORY))
        return entry->ListingRefused;
    // Without FILE_OPEN_REPARSE_POINT, Windows follows a link to its target.
    if (entry && entry->Tag && *entry->Target && !(options & FILE_OPEN_REPARSE_POINT)) {
        relative = Lower(W(entry->Target));
        const std::wstring target = L"\\??\\" + folder_ + L"\\" + W(entry->Target);
        const NTSTATUS status = NtFiles::Open(nullptr, target, access, options, 0, opened);
        if (status >= 0)
            known_[IdOf(opened)] = relative;
        return status;
    }
    const NTSTATUS status = NtFiles::Open(parent, name, access, options, objectFlags, opened);
    if (status < 0)
        return status;
    known_[IdOf(opened)] = relative;
    if (AfterOpen)
        AfterOpen(U8(relative));
    return status;
}

// Whether a folder on the way of a name of several components is a reparse
// point: played, or a link of the host's, which Wine lists as one.
bool PlayedVolume::CrossesReparsePoint(const std::wstring& relative,
                                       const std::wstring& name) const {
    for (size_t end = name.find(L'\\'); end != std::wstring::npos;
         end = name.find(L'\\', end + 1)) {
        const std::wstring inside = Inside(relative, name.substr(0, end));
        const EntryPlay* entry = Entry(inside);
        WIN32_FIND_DATAW listed;
        const HANDLE search = FindFirstFileW((folder_ + L"\\" + inside).c_str(), &listed);
        const bool hostLink = search != INVALID_HANDLE_VALUE &&
                              (listed.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
        if (search != INVALID_HANDLE_VALUE)
            FindClose(search);
        if ((entry && entry->Tag) || hostLink)
            return true;
    }
    return false;
}

NTSTATUS PlayedVolume::QueryInformation(HANDLE entry, void* buffer, ULONG size,
                                        FILE_INFORMATION_CLASS kind) const {
    std::wstring relative;
    if (!Below(entry, relative))
        return NtFiles::QueryInformation(entry, buffer, size, kind);
    const EntryPlay* played = Entry(relative);
    if (kind == FileClass::Stat && volume_.StatRefusal)
        return volume_.StatRefusal;
    if (kind == FileClass::AttributeTag && volume_.TagRefusal)
        return volume_.TagRefusal;
    if (kind == FileClass::Id && volume_.WideIdRefusal)
        return volume_.WideIdRefusal;
    if (kind == FileClass::Name && volume_.NameRefusal)
        return volume_.NameRefusal;
    if (played && played->Refusal &&
        IsOneOf(kind, {FileClass::Stat, FileClass::AttributeTag, FileClass::Id}))
        return played->Refusal;
    if (kind == FileClass::All && volume_.AllRefusal)
        return volume_.AllRefusal;
    const size_t idAt = kind == FileClass::All ? 64 : 0, nameAt = kind == FileClass::All ? 96 : 0;
    if (played && played->NameTooLong && IsOneOf(kind, {FileClass::Name, FileClass::All})) {
        Put<ULONG>(buffer, nameAt, 0xFFFFFFF0);
        return dv::kStatusBufferOverflow;
    }
    const NTSTATUS status = kind == FileClass::Stat
                                ? QueryStat(entry, buffer, size)
                                : NtFiles::QueryInformation(entry, buffer, size, kind);
    if (status < 0)
        return status;
    if (IsOneOf(kind, {FileClass::Internal, FileClass::Stat, FileClass::All}))
        Put<uint64_t>(buffer, idAt, PlayedId(played, Get<uint64_t>(buffer, idAt), kind));
    if (kind == FileClass::Id) { // the 128 bits follow the volume's serial number
        if (volume_.Serial)
            Put<uint64_t>(buffer, 0, volume_.Serial);
        const uint64_t low =
            played && *played->IdOf ? IdAt(played->IdOf) : Get<uint64_t>(buffer, 8);
        Put<uint64_t>(buffer, 8, low ^ (played && played->OtherId ? 0x77 : 0));
        if (volume_.WideIds)
            Put<uint64_t>(buffer, 16, kReFSHigh ^ (played && played->OtherHighId ? 0x10 : 0));
        if (volume_.IdsAllOnes) { // a 64-bit "no ID" widened
            Put<uint64_t>(buffer, 8, ~uint64_t(0));
            Put<uint64_t>(buffer, 16, 0);
        }
    }
    if (kind == FileClass::Name || kind == FileClass::All)
        NameFromPlayedRoot(static_cast<char*>(buffer) + nameAt, size - ULONG(nameAt));
    if (IsOneOf(kind, {FileClass::Basic, FileClass::Stat, FileClass::AttributeTag})) {
        const size_t at = AttributesOffset(kind);
        Put<ULONG>(buffer, at, Get<ULONG>(buffer, at) | PlayedAttributes(relative));
        if (played && played->Tag)
            MarkReparsePoint(buffer, at, TagOffset(kind), played->Tag);
    }
    return status;
}

// Wine answers no stat, Windows 10 does from 1709 on: made of the ID, the
// last-write time and the attribute tag, the fields the program reads
// (FILE_STAT_INFORMATION).
NTSTATUS PlayedVolume::QueryStat(HANDLE entry, void* buffer, ULONG size) const {
    const NTSTATUS kInfoLengthMismatch = NTSTATUS(0xC0000004);
    uint64_t id = 0, basic[5] = {};
    ULONG tag[2] = {};
    if (size < 72)
        return kInfoLengthMismatch;
    NTSTATUS status = NtFiles::QueryInformation(entry, &id, sizeof id, FileClass::Internal);
    if (status >= 0)
        status = NtFiles::QueryInformation(entry, tag, sizeof tag, FileClass::AttributeTag);
    if (status >= 0)
        status = NtFiles::QueryInformation(entry, basic, sizeof basic, FileClass::Basic);
    std::memset(buffer, 0, size);
    Put(buffer, 0, id);
    Put(buffer, 24, basic[2]);
    Put(buffer, 56, tag[0]);
    Put(buffer, 60, tag[1]);
    return status;
}

// The path of an entry from the volume's root, the played folder ("\\" for
// itself), whichever drive's root Wine answers from (the played folder's or
// the one it lies on); on a subst drive, from the root of the volume below.
void PlayedVolume::NameFromPlayedRoot(void* buffer, ULONG size) const {
    const std::wstring root = folder_.substr(folder_.find(L'\\'));
    wchar_t* name = reinterpret_cast<wchar_t*>(static_cast<char*>(buffer) + 4);
    std::wstring path(name, Get<ULONG>(buffer, 0) / sizeof(wchar_t));
    if (Lower(path.substr(0, root.size())) == Lower(root) &&
        path.substr(root.size(), 1).find_first_not_of(L'\\') != 0)
        path = path.size() == root.size() ? L"\\" : path.substr(root.size());
    if (volume_.Subst)
        path = path == L"\\" ? root : root + path;
    if (4 + path.size() * sizeof(wchar_t) > size)
        return;
    std::wmemcpy(name, path.data(), path.size());
    Put<ULONG>(buffer, 0, ULONG(path.size() * sizeof(wchar_t)));
}

// The 64-bit ID a handle gives in an answer of this class.
uint64_t PlayedVolume::PlayedId(const EntryPlay* entry, uint64_t id,
                                FILE_INFORMATION_CLASS kind) const {
    if (entry && *entry->IdOf)
        id = IdAt(entry->IdOf);
    if (entry && entry->OtherId)
        id ^= 0x77;
    id |= volume_.HandleIdBits |
          (kind == FileClass::Stat ? volume_.StatIdBits : volume_.InternalIdBits);
    if (volume_.NarrowIdsVary)
        id ^= ++answers_ << 40;
    return volume_.NoFileIds || volume_.IdsAllOnes ? ~uint64_t(0) : id;
}

DWORD PlayedVolume::PlayedAttributes(const std::wstring& relative) const {
    const auto played = attributes_.find(relative);
    return played == attributes_.end() ? 0 : played->second;
}

DWORD PlayedVolume::Attributes(const std::string& relative) const {
    return PlayedAttributes(Lower(W(relative)));
}

NTSTATUS PlayedVolume::SetInformation(HANDLE entry, const void* buffer, ULONG size,
                                      FILE_INFORMATION_CLASS kind) const {
    std::wstring relative;
    if (!Below(entry, relative))
        return NtFiles::SetInformation(entry, buffer, size, kind);
    const auto played = attributes_.find(relative);
    if (kind == FileClass::Basic && played != attributes_.end())
        played->second &= Get<ULONG>(buffer, AttributesOffset(kind));
    const EntryPlay* self = Entry(relative);
    const bool deletion = IsOneOf(kind, {FileClass::Disposition, FileClass::DispositionEx});
    if (deletion && self && self->DeleteRefused)
        return self->DeleteRefused;
    if (kind != FileClass::DispositionEx)
        return NtFiles::SetInformation(entry, buffer, size, kind);
    if (volume_.PosixRefused)
        return kStatusInvalidParameter;
    if (!volume_.PosixGranted)
        return NtFiles::SetInformation(entry, buffer, size, kind);
    // FILE_DISPOSITION_INFORMATION_EX: delete, and with POSIX semantics.
    const ULONG flags = Get<ULONG>(buffer, 0), kDelete = 0x1, kPosixSemantics = 0x2;
    const BOOLEAN deleteFile = (flags & kDelete) != 0;
    const NTSTATUS status = NtFiles::SetInformation(entry, &deleteFile, 1, FileClass::Disposition);
    PosixDeletions += status >= 0 && deleteFile && (flags & kPosixSemantics);
    return status;
}

NTSTATUS PlayedVolume::QueryVolume(HANDLE entry, void* buffer, ULONG size, ULONG kind) const {
    std::wstring relative;
    if (!Below(entry, relative))
        return NtFiles::QueryVolume(entry, buffer, size, kind);
    if (kind == dv::FileClass::VolumeSerial) { // after the volume's creation time
        std::memset(buffer, 0, size);
        Put<ULONG>(buffer, 8, volume_.Serial);
        return volume_.Serial ? 0 : NTSTATUS(0xC0000002); // not implemented
    }
    const NTSTATUS status = NtFiles::QueryVolume(entry, buffer, size, kind);
    const ULONG kSupportsPosixUnlinkRename = 0x400, kSupportsOpenByFileId = 0x01000000;
    const bool offered = volume_.PosixGranted && !volume_.PosixUnoffered;
    if (kind == dv::FileClass::VolumeAttributes &&
        (status >= 0 || status == dv::kStatusBufferOverflow))
        Put<ULONG>(buffer, 0,
                   Get<ULONG>(buffer, 0) | (offered ? kSupportsPosixUnlinkRename : 0) |
                       (volume_.IdsLast ? kSupportsOpenByFileId : 0));
    const ULONG kRemoteDevice = 0x10;
    if (volume_.Share && kind == dv::FileClass::VolumeDevice && status >= 0)
        Put<ULONG>(buffer, 4, Get<ULONG>(buffer, 4) | kRemoteDevice);
    return status;
}

} // namespace dvtest
