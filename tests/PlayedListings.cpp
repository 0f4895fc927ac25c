// The played volume's listings: 128-bit IDs made for ReFS, a root without
// ".", and the reparse points, attributes and IDs of the entries played.
#include "PlayedBytes.h"
#include "PlayedVolume.h"

#include "TestSupport.h"

#include <vector>

namespace dvtest {

using namespace played;

namespace {

namespace FileClass = dv::FileClass;

// Where every listing record keeps the attributes and the name's length.
const size_t kRecordAttributes = 56, kRecordNameLength = 60;

// Where the records of a listing class keep the name, the reparse tag and the
// ID (0: nowhere); the 64-bit listings keep the tag in place of the extended
// attributes' size (MS-FSCC 2.4).
struct RecordLayout {
    size_t Name, Tag, Id;
};
RecordLayout LayoutOf(FILE_INFORMATION_CLASS kind) {
    return kind == FileClass::FullDirectory     ? RecordLayout{68, 64, 0}
           : kind == FileClass::IdBothDirectory ? RecordLayout{104, 64, 96}
           : kind == FileClass::IdExtdDirectory ? RecordLayout{88, 68, 72}
                                                : RecordLayout{64, 0, 0};
}

size_t RecordLength(const char* record, size_t nameAt) {
    return (nameAt + Get<ULONG>(record, kRecordNameLength) + 7) & ~size_t(7);
}

// Turns a 64-bit listing into the 128-bit one (FILE_ID_EXTD_DIR_INFORMATION),
// whose records are shorter; the bytes it fills.
ULONG WidenRecords(const char* in, char* out) {
    const RecordLayout from = LayoutOf(FileClass::IdBothDirectory),
                       to = LayoutOf(FileClass::IdExtdDirectory);
    for (size_t read = 0, written = 0;;) {
        const char* record = in + read;
        char* wide = out + written;
        const auto next = Get<ULONG>(record, 0), nameBytes = Get<ULONG>(record, kRecordNameLength);
        const bool reparse = Get<ULONG>(record, kRecordAttributes) & FILE_ATTRIBUTE_REPARSE_POINT;
        std::memcpy(wide, record, 64);
        Put<ULONG>(wide, 64, 0);
        Put<ULONG>(wide, to.Tag, reparse ? Get<ULONG>(record, from.Tag) : 0);
        Put<uint64_t>(wide, to.Id, Get<uint64_t>(record, from.Id));
        Put<uint64_t>(wide, to.Id + 8, kReFSHigh);
        std::memcpy(wide + to.Name, record + from.Name, nameBytes);
        const size_t length = RecordLength(wide, to.Name);
        Put<ULONG>(wide, 0, next ? ULONG(length) : 0);
        if (next == 0)
            return ULONG(written + length);
        read += next;
        written += length;
    }
}

// Leaves out "." and "..", as a root on Windows lists them; the bytes left.
ULONG DropDotRecords(char* buffer, size_t nameAt) {
    size_t written = 0, last = SIZE_MAX;
    for (size_t read = 0;;) {
        char* record = buffer + read;
        const auto next = Get<ULONG>(record, 0);
        const std::wstring name(reinterpret_cast<const wchar_t*>(record + nameAt),
                                Get<ULONG>(record, kRecordNameLength) / sizeof(wchar_t));
        const size_t length = RecordLength(record, nameAt);
        if (name != L"." && name != L"..") {
            std::memmove(buffer + written, record, length);
            Put<ULONG>(buffer + written, 0, ULONG(length));
            last = written;
            written += length;
        }
        if (next == 0)
            break;
        read += next;
    }
    if (last != SIZE_MAX)
        Put<ULONG>(buffer + last, 0, 0);
    return ULONG(written);
}

} // namespace

NTSTATUS PlayedVolume::QueryDirectory(HANDLE folder, void* buffer, ULONG size,
                                      FILE_INFORMATION_CLASS kind, bool restart,
                                      ULONG& bytes) const {
    std::wstring relative;
    if (!Below(folder, relative))
        return NtFiles::QueryDirectory(folder, buffer, size, kind, restart, bytes);
    const EntryPlay* self = Entry(relative);
    const bool withIds = IsOneOf(kind, {FileClass::IdBothDirectory, FileClass::IdExtdDirectory});
    bytes = 0;
    if (volume_.NoFileIds && withIds)
        return kStatusInvalidInfoClass;
    if (self && self->Refusal && withIds)
        return self->Refusal;
    if (self && self->WideListingRefusal && kind == FileClass::IdExtdDirectory)
        return self->WideListingRefusal;
    if (volume_.EmptyRoot && relative.empty())
        return restart ? dv::kStatusNoSuchFile : dv::kStatusNoMoreFiles;
    NTSTATUS status;
    for (bool first = restart;; first = false) {
        status = ListRecords(folder, buffer, size, kind, first, bytes);
        if (status < 0 || !(volume_.RootWithoutDot && relative.empty()) ||
            (bytes = DropDotRecords(static_cast<char*>(buffer), LayoutOf(kind).Name)) != 0)
            break;
    }
    if (status == dv::kStatusNoMoreFiles && self && self->EndsInNoBytes)
        return bytes = 0, 0;
    if (status < 0)
        return status;
    PlayRecords(relative, buffer, kind);
    for (ULONG last = 0; restart && self && self->NextOffsetWraps; last += Get<ULONG>(buffer, last))
        if (Get<ULONG>(buffer, last) == 0) { // back to 0 in a 32-bit sum
            Put<ULONG>(buffer, last, 0 - last);
            break;
        }
    if (restart && self && self->FirstRecordCounted && Get<ULONG>(buffer, 0))
        bytes = Get<ULONG>(buffer, 0);
    for (ULONG last = 0; restart && self && self->LastRecordCut; last += Get<ULONG>(buffer, last))
        if (Get<ULONG>(buffer, last) == 0) {
            bytes = last + self->LastRecordCut;
            break;
        }
    if (restart && AfterListing)
        AfterListing(U8(relative));
    return status;
}

NTSTATUS PlayedVolume::ListRecords(HANDLE folder, void* buffer, ULONG size,
                                   FILE_INFORMATION_CLASS kind, bool restart, ULONG& bytes) const {
    if (kind != FileClass::IdExtdDirectory || !volume_.WideIds)
        return NtFiles::QueryDirectory(folder, buffer, size, kind, restart, bytes);
    // Wine lists no 128-bit IDs: they are made of its 64 bits.
    std::vector<LONGLONG> narrow(size / sizeof(LONGLONG) + 1);
    const NTSTATUS status = NtFiles::QueryDirectory(folder, narrow.data(), size,
                                                    FileClass::IdBothDirectory, restart, bytes);
    if (status >= 0)
        bytes =
            WidenRecords(reinterpret_cast<const char*>(narrow.data()), static_cast<char*>(buffer));
    return status;
}

void PlayedVolume::PlayRecords(const std::wstring& relative, void* buffer,
                               FILE_INFORMATION_CLASS kind) const {
    const RecordLayout layout = LayoutOf(kind);
    for (size_t offset = 0;;) {
        char* record = static_cast<char*>(buffer) + offset;
        const auto next = Get<ULONG>(record, 0);
        const std::wstring name(reinterpret_cast<const wchar_t*>(record + layout.Name),
                                Get<ULONG>(record, kRecordNameLength) / sizeof(wchar_t));
        const std::wstring inside = Inside(relative, name);
        const EntryPlay* entry = Entry(inside);
        if (entry && entry->Tag && !entry->ListedPlain)
            MarkReparsePoint(record, kRecordAttributes, layout.Tag, entry->Tag);
        Put<ULONG>(record, kRecordAttributes,
                   Get<ULONG>(record, kRecordAttributes) | PlayedAttributes(inside));
        // A folder swapped since lists its own ID as "."; only its parent's
        // listing gives the one it had.
        const EntryPlay* self = Entry(relative);
        if (name == L"." && self && self->OtherId && layout.Id)
            Put<uint64_t>(record, layout.Id, Get<uint64_t>(record, layout.Id) ^ 0x77);
        if (volume_.NarrowIdsVary && kind == FileClass::IdBothDirectory)
            Put<uint64_t>(record, layout.Id, Get<uint64_t>(record, layout.Id) ^ (++answers_ << 40));
        if (volume_.IdsAllOnes && layout.Id)
            Put<uint64_t>(record, layout.Id, ~uint64_t(0));
        if (volume_.IdsAllOnes && kind == FileClass::IdExtdDirectory)
            Put<uint64_t>(record, layout.Id + 8, 0);
        if (next == 0)
            return;
        offset += next;
    }
}

} // namespace dvtest
