#include "PlayedVolume.h"

#include "TestSupport.h"

#include <cstddef>
#include <cstring>

namespace dvtest {

namespace {

namespace FileClass = dv::FileClass;

// Where each answer keeps the attributes, and the reparse tag (0: nowhere).
size_t AttributesOffset(FILE_INFORMATION_CLASS kind) {
    return kind == FileClass::Basic ? 32 : kind == FileClass::Stat ? 56 : 0;
}
size_t TagOffset(FILE_INFORMATION_CLASS kind) {
    return kind == FileClass::Stat ? 60 : kind == FileClass::AttributeTag ? 4 : 0;
}
// Where a listing record keeps the attributes, and the tag in place of the
// extended attributes' size (MS-FSCC 2.4.17).
const size_t kRecordAttributes = 56, kRecordTag = 64;

std::wstring Lower(std::wstring text) {
    if (!text.empty())
        CharLowerBuffW(text.data(), DWORD(text.size()));
    return text;
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

template <class T> void Put(void* buffer, size_t offset, T value) {
    std::memcpy(static_cast<char*>(buffer) + offset, &value, sizeof value);
}

template <class T> T Get(const void* buffer, size_t offset) {
    T value;
    std::memcpy(&value, static_cast<const char*>(buffer) + offset, sizeof value);
    return value;
}

// Shows the entry of the answer as a reparse point of the tag.
void MarkReparsePoint(void* buffer, size_t attributesOffset, size_t tagOffset, ULONG tag) {
    const auto attributes = Get<ULONG>(buffer, attributesOffset);
    Put<ULONG>(buffer, attributesOffset, attributes | FILE_ATTRIBUTE_REPARSE_POINT);
    if (tagOffset)
        Put<ULONG>(buffer, tagOffset, tag);
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
                            ULONG options, HANDLE& opened) const {
    std::wstring relative;
    if (!Below(parent, relative))
        return NtFiles::Open(parent, name, access, options, opened);
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
        const NTSTATUS status = NtFiles::Open(nullptr, target, access, options, opened);
        if (status >= 0)
            known_[IdOf(opened)] = relative;
        return status;
    }
    const NTSTATUS status = NtFiles::Open(parent, name, access, options, opened);
    if (status < 0)
        return status;
    known_[IdOf(opened)] = relative;
    if (AfterOpen)
        AfterOpen(U8(relative));
    return status;
}

NTSTATUS PlayedVolume::QueryDirectory(HANDLE folder, void* buffer, ULONG size,
                                      FILE_INFORMATION_CLASS kind, bool restart) const {
    std::wstring relative;
    if (!Below(folder, relative))
        return NtFiles::QueryDirectory(folder, buffer, size, kind, restart);
    if (volume_.NoFileIds && kind == FileClass::IdBothDirectory)
        return kStatusInvalidInfoClass;
    if (volume_.EmptyRoot && relative.empty())
        return restart ? dv::kStatusNoSuchFile : dv::kStatusNoMoreFiles;
    const NTSTATUS status = NtFiles::QueryDirectory(folder, buffer, size, kind, restart);
    const bool withIds = kind == FileClass::IdBothDirectory;
    const size_t nameAt = withIds ? offsetof(FILE_ID_BOTH_DIR_INFO, FileName) : 64;
    for (size_t offset = 0; status >= 0;) {
        char* record = static_cast<char*>(buffer) + offset;
        const auto next = Get<ULONG>(record, 0), nameBytes = Get<ULONG>(record, 60);
        const std::wstring name(reinterpret_cast<const wchar_t*>(record + nameAt),
                                nameBytes / sizeof(wchar_t));
        const std::wstring inside = Inside(relative, name);
        const EntryPlay* entry = Entry(inside);
        if (entry && entry->Tag && !entry->ListedPlain)
            MarkReparsePoint(record, kRecordAttributes, withIds ? kRecordTag : 0, entry->Tag);
        Put<ULONG>(record, kRecordAttributes,
                   Get<ULONG>(record, kRecordAttributes) | PlayedAttributes(inside));
        if (next == 0)
            break;
        offset += next;
    }
    if (status >= 0 && restart && AfterListing)
        AfterListing(U8(relative));
    return status;
}

NTSTATUS PlayedVolume::QueryInformation(HANDLE entry, void* buffer, ULONG size,
                                        FILE_INFORMATION_CLASS kind) const {
    std::wstring relative;
    if (!Below(entry, relative))
        return NtFiles::QueryInformation(entry, buffer, size, kind);
    if (kind == FileClass::Stat && volume_.StatRefusal)
        return volume_.StatRefusal;
    if (kind == FileClass::AttributeTag && volume_.TagRefusal)
        return volume_.TagRefusal;
    const NTSTATUS status = NtFiles::QueryInformation(entry, buffer, size, kind);
    if (status < 0)
        return status;
    const EntryPlay* played = Entry(relative);
    if (kind == FileClass::Internal || kind == FileClass::Stat)
        PlayIds(played, relative, buffer);
    if (kind == FileClass::Basic || kind == FileClass::Stat || kind == FileClass::AttributeTag) {
        const size_t at = AttributesOffset(kind);
        Put<ULONG>(buffer, at, Get<ULONG>(buffer, at) | PlayedAttributes(relative));
        if (played && played->Tag)
            MarkReparsePoint(buffer, at, TagOffset(kind), played->Tag);
    }
    return status;
}

void PlayedVolume::PlayIds(const EntryPlay* entry, const std::wstring& relative,
                           void* buffer) const {
    auto id = Get<uint64_t>(buffer, 0);
    if (entry && entry->OtherId)
        id ^= 0x77;
    id |= volume_.HandleIdBits;
    // On ReFS the 64 bits of one file's ID have changed from one answer to the
    // next; played here as the same for the folder's first answer alone.
    if (volume_.ReFS && !(relative.empty() && rootIdAnswers_++ == 0))
        id |= uint64_t(5) << 60;
    Put<uint64_t>(buffer, 0, volume_.NoFileIds ? ~uint64_t(0) : id);
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
    if (kind != FileClass::DispositionEx)
        return NtFiles::SetInformation(entry, buffer, size, kind);
    if (volume_.PosixRefused)
        return kStatusInvalidParameter;
    if (!volume_.PosixGranted)
        return NtFiles::SetInformation(entry, buffer, size, kind);
    const BOOLEAN deleteFile = TRUE;
    const NTSTATUS status = NtFiles::SetInformation(entry, &deleteFile, 1, FileClass::Disposition);
    PosixDeletions += status >= 0;
    return status;
}

NTSTATUS PlayedVolume::QueryVolume(HANDLE entry, void* buffer, ULONG size, ULONG kind) const {
    const NTSTATUS status = NtFiles::QueryVolume(entry, buffer, size, kind);
    std::wstring relative;
    // The file system's name, after its attributes and the longest name.
    const std::wstring_view name = L"ReFS";
    if (volume_.ReFS && kind == dv::FileClass::VolumeAttributes && Below(entry, relative) &&
        size >= 12 + name.size() * sizeof(wchar_t)) {
        Put<ULONG>(buffer, 8, ULONG(name.size() * sizeof(wchar_t)));
        std::memcpy(static_cast<char*>(buffer) + 12, name.data(), name.size() * sizeof(wchar_t));
        return 0;
    }
    return status;
}

} // namespace dvtest
