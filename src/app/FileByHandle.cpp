#include "app/FileByHandle.h"

#include "app/FindHandle.h"
#include "app/NtFiles.h"

#include <unordered_map>

namespace dv {

namespace {

const NTSTATUS kStatusBufferOverflow = NTSTATUS(0x80000005);
const DWORD kDispositionDelete = 0x1, kDispositionPosixSemantics = 0x2;

struct BasicInformation {
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime;
    ULONG FileAttributes;
};

struct AttributeTagInformation {
    ULONG FileAttributes;
    ULONG ReparseTag;
};

struct StatInformation {
    LARGE_INTEGER FileId;
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime;
    LARGE_INTEGER AllocationSize, EndOfFile;
    ULONG FileAttributes, ReparseTag, NumberOfLinks;
    ACCESS_MASK EffectiveAccess;
};

// The leading fields of FILE_DIRECTORY_INFORMATION, which every file system
// lists; the name follows.
struct DirectoryRecord {
    ULONG NextEntryOffset, FileIndex;
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime;
    LARGE_INTEGER EndOfFile, AllocationSize;
    ULONG FileAttributes, FileNameLength;
    WCHAR FileName[1];
};

ACCESS_MASK AccessFor(unsigned purpose, bool directory) {
    // Reading the attributes is what the check of every opened entry needs;
    // opening an entry relative to a folder needs no right on the folder.
    ACCESS_MASK access = FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    if (directory && (purpose & OpenFor::Listing))
        access |= FILE_LIST_DIRECTORY;
    if (purpose & OpenFor::ClearAttributes)
        access |= FILE_WRITE_ATTRIBUTES;
    if (purpose & OpenFor::Deletion)
        access |= DELETE;
    return access;
}

template <class Record> ListedEntry EntryOf(const Record& record, uint64_t fileId) {
    return {std::wstring(record.FileName, record.FileNameLength / sizeof(wchar_t)),
            record.FileAttributes, uint64_t(record.EndOfFile.QuadPart), fileId};
}

// Appends the records of one read; the name of each comes as the disk holds it.
void AppendRecords(const char* bytes, FILE_INFORMATION_CLASS kind,
                   std::vector<ListedEntry>& entries) {
    for (ULONG offset = 0;;) {
        ListedEntry entry;
        ULONG next;
        if (kind == FileClass::IdBothDirectory) {
            const auto& record = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes + offset);
            entry = EntryOf(record, uint64_t(record.FileId.QuadPart));
            next = record.NextEntryOffset;
        } else {
            const auto& record = *reinterpret_cast<const DirectoryRecord*>(bytes + offset);
            entry = EntryOf(record, 0);
            next = record.NextEntryOffset;
        }
        if (!IsDotEntry(entry.Name.c_str()))
            entries.push_back(std::move(entry));
        if (next == 0)
            return;
        offset += next;
    }
}

bool QueryFileId(HANDLE opened, uint64_t& fileId) {
    LARGE_INTEGER index{};
    if (Nt().QueryInformation(opened, &index, sizeof index, FileClass::Internal) < 0)
        return false;
    fileId = uint64_t(index.QuadPart);
    return true;
}

// The attributes alone, from the attribute tag where the volume has it, else
// from the basic information that every volume gives.
bool QueryAttributes(Volume& volume, HANDLE opened, DWORD& attributes) {
    if (!volume.NoAttributeTag) {
        AttributeTagInformation tag{};
        const NTSTATUS status =
            Nt().QueryInformation(opened, &tag, sizeof tag, FileClass::AttributeTag);
        if (status >= 0) {
            attributes = tag.FileAttributes;
            return true;
        }
        if (!IsUnsupported(status))
            return false;
        volume.NoAttributeTag = true;
    }
    BasicInformation basic{};
    if (Nt().QueryInformation(opened, &basic, sizeof basic, FileClass::Basic) < 0)
        return false;
    attributes = basic.FileAttributes;
    return true;
}

} // namespace

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.Release();
    }
    return *this;
}

HANDLE FileHandle::Release() {
    HANDLE handle = handle_;
    handle_ = nullptr;
    return handle;
}

void FileHandle::Close() {
    if (Valid())
        CloseHandle(handle_);
    handle_ = nullptr;
}

Volume& Volume::Of(HANDLE entry) {
    static std::unordered_map<ULONG, Volume> volumes;
    // Creation time, serial number, label length, a flag, and room for the label.
    struct {
        LARGE_INTEGER CreationTime;
        ULONG SerialNumber, LabelLength;
        BOOLEAN SupportsObjects;
        WCHAR Label[64];
    } information{};
    const NTSTATUS status =
        Nt().QueryVolume(entry, &information, sizeof information, FileClass::VolumeInformation);
    const bool known = status >= 0 || status == kStatusBufferOverflow;
    return volumes[known ? information.SerialNumber : 0];
}

DWORD OpenFolderByPath(const std::wstring& path, FileHandle& folder) {
    folder = FileHandle(CreateFileW(path.c_str(), AccessFor(OpenFor::Listing, true),
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder.Valid())
        return GetLastError();
    FILE_BASIC_INFO basic{};
    if (GetFileInformationByHandleEx(folder.Get(), FileBasicInfo, &basic, sizeof basic) &&
        !(basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        folder.Close();
        return ERROR_DIRECTORY;
    }
    return 0;
}

DWORD OpenEntry(HANDLE parent, const std::wstring& name, bool directory, unsigned purpose,
                FileHandle& entry) {
    const ULONG options = FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT |
                          (directory ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE);
    HANDLE opened = nullptr;
    const NTSTATUS status = Nt().Open(parent, name, AccessFor(purpose, directory), options, opened);
    if (status < 0)
        return DosError(status);
    entry = FileHandle(opened);
    return 0;
}

bool ReadListing(HANDLE folder, std::vector<ListedEntry>& entries) {
    entries.clear();
    // Room for some hundreds of entries per call; 8-byte aligned as the records
    // are, and kept for the next folder.
    static thread_local std::vector<LONGLONG> buffer(8192);
    const ULONG size = ULONG(buffer.size() * sizeof(LONGLONG));
    FILE_INFORMATION_CLASS kind = FileClass::IdBothDirectory;
    for (bool restart = true;; restart = false) {
        NTSTATUS status = Nt().QueryDirectory(folder, buffer.data(), size, kind, restart);
        // A share that keeps no file IDs may refuse the listing that has them.
        if (restart && IsUnsupported(status)) {
            kind = FileClass::Directory;
            status = Nt().QueryDirectory(folder, buffer.data(), size, kind, true);
        }
        if (status == kStatusNoMoreFiles)
            return true;
        if (status < 0) {
            entries.clear();
            return false;
        }
        AppendRecords(reinterpret_cast<const char*>(buffer.data()), kind, entries);
    }
}

bool QueryIdentity(Volume& volume, HANDLE opened, Identity& identity) {
    identity = {};
    if (!volume.NoStatQuery) {
        StatInformation stat{};
        const NTSTATUS status = Nt().QueryInformation(opened, &stat, sizeof stat, FileClass::Stat);
        if (status >= 0) {
            identity = {stat.FileAttributes, uint64_t(stat.FileId.QuadPart)};
            return true;
        }
        if (!IsUnsupported(status))
            return false;
        volume.NoStatQuery = true;
    }
    if (!QueryAttributes(volume, opened, identity.Attributes))
        return false;
    // A volume that cannot tell the ID leaves the check to the attributes.
    QueryFileId(opened, identity.FileId);
    return true;
}

bool SameFileId(uint64_t a, uint64_t b) {
    const auto unknown = [](uint64_t id) { return id == 0 || id == ~uint64_t(0); };
    return unknown(a) || unknown(b) || a == b;
}

bool IsListedEntry(Volume& volume, HANDLE opened, const ListedEntry& listed) {
    Identity identity;
    if (!QueryIdentity(volume, opened, identity))
        return false;
    const bool directory = identity.Attributes & FILE_ATTRIBUTE_DIRECTORY;
    return directory == listed.IsDirectory() && IsLink(identity.Attributes) == listed.IsLink() &&
           SameFileId(identity.FileId, listed.FileId);
}

bool SetAttributesByHandle(HANDLE entry, DWORD attributes) {
    // As SetFileAttributes does: no time changes, and "normal" when nothing is left.
    BasicInformation basic{};
    basic.FileAttributes = (attributes & kSettableAttributes) | FILE_ATTRIBUTE_NORMAL;
    return Nt().SetInformation(entry, &basic, sizeof basic, FileClass::Basic) >= 0;
}

bool DeleteByHandle(Volume& volume, HANDLE entry) {
    // POSIX semantics take the name away at once, even while another program
    // holds the file open with delete sharing. Where a volume does not know
    // them (systems before Windows 10 1607, FAT, most shares, Wine), the plain
    // disposition serves from then on.
    if (!volume.NoPosixDelete) {
        const ULONG flags = kDispositionDelete | kDispositionPosixSemantics;
        const NTSTATUS status =
            Nt().SetInformation(entry, &flags, sizeof flags, FileClass::DispositionEx);
        if (status >= 0)
            return true;
        if (!IsUnsupported(status))
            return false;
        volume.NoPosixDelete = true;
    }
    const BOOLEAN deleteFile = TRUE;
    return Nt().SetInformation(entry, &deleteFile, sizeof deleteFile, FileClass::Disposition) >= 0;
}

} // namespace dv
