#include "app/FileByHandle.h"

#include "app/FindHandle.h"
#include "app/NtFiles.h"

#include <string_view>

namespace dv {

namespace {

const ULONG kFileOpenNoRecall = 0x00400000;
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

template <class Record>
ListedEntry EntryOf(const Record& record, uint64_t fileId, ULONG reparseTag) {
    return {std::wstring(record.FileName, record.FileNameLength / sizeof(wchar_t)),
            record.FileAttributes, uint64_t(record.EndOfFile.QuadPart), fileId, reparseTag};
}

bool IsKnownId(uint64_t id) { return id != 0 && id != ~uint64_t(0); }

// Appends the records of one read; the name of each comes as the disk holds it.
// The ID listed for "." is the folder's own.
void AppendRecords(const char* bytes, FILE_INFORMATION_CLASS kind,
                   std::vector<ListedEntry>& entries, uint64_t& selfId) {
    for (ULONG offset = 0;;) {
        ListedEntry entry;
        ULONG next;
        if (kind == FileClass::IdBothDirectory) {
            const auto& record = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes + offset);
            // A reparse point's tag stands where extended attributes' size would.
            const bool reparse = record.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT;
            entry = EntryOf(record, uint64_t(record.FileId.QuadPart), reparse ? record.EaSize : 0);
            next = record.NextEntryOffset;
        } else {
            const auto& record = *reinterpret_cast<const DirectoryRecord*>(bytes + offset);
            entry = EntryOf(record, 0, 0);
            next = record.NextEntryOffset;
        }
        if (!IsDotEntry(entry.Name.c_str()))
            entries.push_back(std::move(entry));
        else if (entry.Name == L".")
            selfId = entry.FileId;
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

// Asks for an optional class of information; on any failure that does not
// answer for the entry itself, the plainer request is made, and the class is
// given up for the walk once the plainer one was answered.
template <class Ask, class Plainer>
bool AskOptional(bool& volumeLacksIt, Ask ask, Plainer plainer) {
    if (!volumeLacksIt) {
        const NTSTATUS status = ask();
        if (status >= 0)
            return true;
        if (TellsOfEntry(status))
            return false;
        if (!plainer())
            return false;
        volumeLacksIt = true;
        return true;
    }
    return plainer();
}

// The attributes and the reparse tag, from the attribute tag where the volume
// has it, else the attributes alone from the basic information that every
// volume gives.
bool QueryAttributes(Volume& volume, HANDLE opened, Identity& identity) {
    return AskOptional(
        volume.NoAttributeTag,
        [&] {
            AttributeTagInformation tag{};
            const NTSTATUS status =
                Nt().QueryInformation(opened, &tag, sizeof tag, FileClass::AttributeTag);
            identity.Attributes = tag.FileAttributes;
            identity.ReparseTag = tag.ReparseTag;
            return status;
        },
        [&] {
            BasicInformation basic{};
            identity.ReparseTag = 0;
            if (Nt().QueryInformation(opened, &basic, sizeof basic, FileClass::Basic) < 0)
                return false;
            identity.Attributes = basic.FileAttributes;
            return true;
        });
}

bool QueryAttributesAndId(Volume& volume, HANDLE opened, Identity& identity) {
    return AskOptional(
        volume.NoStatQuery,
        [&] {
            StatInformation stat{};
            const NTSTATUS status =
                Nt().QueryInformation(opened, &stat, sizeof stat, FileClass::Stat);
            identity = {stat.FileAttributes, uint64_t(stat.FileId.QuadPart), stat.ReparseTag};
            return status;
        },
        [&] {
            if (!QueryAttributes(volume, opened, identity))
                return false;
            // A volume that cannot tell the ID leaves the check to the attributes.
            identity.FileId = 0;
            QueryFileId(opened, identity.FileId);
            return true;
        });
}

// Compares the ID a folder's listing gave "." with the one its handle gives,
// once per walk.
void CompareIdKinds(Volume& volume, HANDLE folder, uint64_t listedId) {
    if (volume.IdsCompared || !IsKnownId(listedId))
        return;
    Identity identity;
    if (!QueryAttributesAndId(volume, folder, identity) || !IsKnownId(identity.FileId))
        return;
    volume.IdsCompared = true;
    volume.UnknownIds = identity.FileId != listedId;
}

bool IsReFS(HANDLE root) {
    struct {
        ULONG Attributes;
        LONG MaximumComponentNameLength;
        ULONG NameLength;
        WCHAR Name[16];
    } information{};
    const NTSTATUS status =
        Nt().QueryVolume(root, &information, sizeof information, FileClass::VolumeAttributes);
    return status >= 0 &&
           std::wstring_view(information.Name, information.NameLength / sizeof(wchar_t)) == L"ReFS";
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

Volume Volume::Of(HANDLE root) {
    Volume volume;
    // ReFS (Dev Drives among them) keeps 128-bit IDs: the 64 bits a listing or
    // a handle gives of one file may differ from one answer to the next.
    volume.UnknownIds = volume.IdsCompared = IsReFS(root);
    return volume;
}

Volume Volume::OfListedRoot(HANDLE root) {
    Volume volume = Of(root);
    std::vector<ListedEntry> entries;
    ReadListing(volume, root, entries);
    return volume;
}

DWORD OpenFolderByPath(const std::wstring& path, FileHandle& folder) {
    folder = FileHandle(
        CreateFileW(path.c_str(), AccessFor(OpenFor::Listing, true),
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_NO_RECALL, nullptr));
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
    // No data is read, so a cloud file's content is never fetched for it.
    const ULONG options = FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT |
                          kFileOpenNoRecall |
                          (directory ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE);
    HANDLE opened = nullptr;
    const NTSTATUS status = Nt().Open(parent, name, AccessFor(purpose, directory), options, opened);
    if (status < 0)
        return DosError(status);
    entry = FileHandle(opened);
    return 0;
}

bool ReadListing(Volume& volume, HANDLE folder, std::vector<ListedEntry>& entries) {
    entries.clear();
    // Room for some hundreds of entries per call; 8-byte aligned as the records
    // are, and kept for the next folder.
    static thread_local std::vector<LONGLONG> buffer(8192);
    const ULONG size = ULONG(buffer.size() * sizeof(LONGLONG));
    FILE_INFORMATION_CLASS kind = FileClass::Directory;
    NTSTATUS status = 0;
    const auto read = [&](FILE_INFORMATION_CLASS asked, bool restart) {
        kind = asked;
        return status = Nt().QueryDirectory(folder, buffer.data(), size, kind, restart);
    };
    // An empty FAT or exFAT root has not even "." to list.
    const auto listed = [&] {
        return status >= 0 || status == kStatusNoMoreFiles || status == kStatusNoSuchFile;
    };
    // A share that keeps no file IDs may refuse the listing that has them.
    AskOptional(
        volume.NoIdListing,
        [&] {
            read(FileClass::IdBothDirectory, true);
            return listed() ? NTSTATUS(0) : status;
        },
        [&] {
            read(FileClass::Directory, true);
            return listed();
        });
    uint64_t selfId = 0;
    for (; status != kStatusNoMoreFiles && status != kStatusNoSuchFile; read(kind, false)) {
        if (status < 0) {
            entries.clear();
            return false;
        }
        AppendRecords(reinterpret_cast<const char*>(buffer.data()), kind, entries, selfId);
    }
    CompareIdKinds(volume, folder, selfId);
    return true;
}

bool QueryIdentity(Volume& volume, HANDLE opened, Identity& identity) {
    identity = {};
    if (!QueryAttributesAndId(volume, opened, identity))
        return false;
    if (volume.UnknownIds)
        identity.FileId = 0;
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
    return directory == listed.IsDirectory() &&
           IsLink(identity.Attributes, identity.ReparseTag) == listed.IsLink() &&
           SameFileId(identity.FileId, listed.FileId);
}

bool IsRecordedFolder(Volume& volume, HANDLE opened, uint64_t recordedId) {
    Identity identity;
    return QueryIdentity(volume, opened, identity) &&
           (identity.Attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !IsLink(identity.Attributes, identity.ReparseTag) &&
           SameFileId(identity.FileId, recordedId);
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
    // disposition serves for the rest of the walk.
    return AskOptional(
        volume.NoPosixDelete,
        [&] {
            const ULONG flags = kDispositionDelete | kDispositionPosixSemantics;
            return Nt().SetInformation(entry, &flags, sizeof flags, FileClass::DispositionEx);
        },
        [&] {
            const BOOLEAN deleteFile = TRUE;
            return Nt().SetInformation(entry, &deleteFile, sizeof deleteFile,
                                       FileClass::Disposition) >= 0;
        });
}

} // namespace dv
