#include "app/FileByHandle.h"

#include "app/VolumeQueries.h"

#include <algorithm>
#include <cstring>

namespace dv {

namespace {

const ULONG kFileOpenNoRecall = 0x00400000;
const DWORD kDispositionDelete = 0x1, kDispositionPosixSemantics = 0x2;
const ULONG kSupportsPosixUnlinkRename = 0x400, kSupportsOpenByFileId = 0x01000000;

struct BasicInformation {
    LARGE_INTEGER CreationTime, LastAccessTime, LastWriteTime, ChangeTime;
    ULONG FileAttributes;
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
    // Where the volume tells what its file system supports, it is believed:
    // POSIX deletion is asked only where it is offered, and a file's ID is
    // taken for its life only where files can be opened by it.
    struct {
        ULONG Attributes;
        LONG MaximumComponentNameLength;
        ULONG NameLength;
        WCHAR Name[32];
    } information{};
    const NTSTATUS status =
        Nt().QueryVolume(root, &information, sizeof information, FileClass::VolumeAttributes);
    if (status >= 0 || status == kStatusBufferOverflow) {
        if (!(information.Attributes & kSupportsPosixUnlinkRename))
            volume.GiveUp(OptionalClass::PosixDelete);
        volume.IdsLast = information.Attributes & kSupportsOpenByFileId;
    }
    struct {
        ULONG DeviceType, Characteristics;
    } device{};
    const ULONG kRemoteDevice = 0x10;
    if (Nt().QueryVolume(root, &device, sizeof device, FileClass::VolumeDevice) >= 0)
        volume.Remote = device.Characteristics & kRemoteDevice;
    // FILE_FS_VOLUME_INFORMATION, with room for a label of 32 characters; a
    // longer one leaves the fixed part answered.
    struct {
        LARGE_INTEGER CreationTime;
        ULONG SerialNumber, LabelLength;
        BOOLEAN SupportsObjects;
        WCHAR Label[32];
    } label{};
    const NTSTATUS labelStatus =
        Nt().QueryVolume(root, &label, sizeof label, FileClass::VolumeSerial);
    volume.HasSerial = labelStatus >= 0 || labelStatus == kStatusBufferOverflow;
    volume.Serial = volume.HasSerial ? label.SerialNumber : 0;
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
    const NTSTATUS status =
        Nt().Open(parent, name, AccessFor(purpose, directory), options, 0, opened);
    if (status < 0)
        return DosError(status);
    entry = FileHandle(opened);
    return 0;
}

NTSTATUS OpenFileBelow(HANDLE folder, const std::wstring& path, unsigned purpose,
                       FileHandle& file) {
    const ULONG options = FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT |
                          kFileOpenNoRecall | FILE_NON_DIRECTORY_FILE;
    HANDLE opened = nullptr;
    const NTSTATUS status =
        Nt().Open(folder, path, AccessFor(purpose, false), options, kDontReparse, opened);
    if (status >= 0)
        file = FileHandle(opened);
    return status;
}

NTSTATUS QueryWithName(HANDLE opened, FILE_INFORMATION_CLASS kind, size_t nameAt,
                       std::vector<LONGLONG>& buffer) {
    // No name is longer than a counted string holds; a longer length told
    // (a broken server or filter) is not made room for.
    const ULONG kLongestName = 0xFFFF;
    for (;;) {
        const ULONG size = ULONG(buffer.size() * sizeof(LONGLONG));
        const NTSTATUS status = Nt().QueryInformation(opened, buffer.data(), size, kind);
        ULONG length = 0;
        std::memcpy(&length, reinterpret_cast<const char*>(buffer.data()) + nameAt, sizeof length);
        if (status != kStatusBufferOverflow || length > kLongestName ||
            nameAt + sizeof(ULONG) + length <= size)
            return status;
        buffer.resize((nameAt + sizeof(ULONG) + length) / sizeof(LONGLONG) + 1);
    }
}

std::wstring NameIn(const std::vector<LONGLONG>& buffer, size_t nameAt) {
    const char* information = reinterpret_cast<const char*>(buffer.data()) + nameAt;
    ULONG length = 0;
    std::memcpy(&length, information, sizeof length);
    length = std::min<size_t>(length, buffer.size() * sizeof(LONGLONG) - nameAt - sizeof length);
    return std::wstring(reinterpret_cast<const wchar_t*>(information + sizeof length),
                        length / sizeof(wchar_t));
}

bool QueryPathFromRoot(HANDLE opened, std::wstring& path) {
    // Room for most paths at once, and for any once its length is known.
    static thread_local std::vector<LONGLONG> buffer(65);
    if (QueryWithName(opened, FileClass::Name, 0, buffer) < 0)
        return false;
    path = NameIn(buffer, 0);
    return true;
}

bool SetAttributesByHandle(HANDLE entry, DWORD attributes) {
    // As SetFileAttributes does: no time changes, and "normal" when nothing is left.
    BasicInformation basic{};
    basic.FileAttributes = (attributes & kSettableAttributes) | FILE_ATTRIBUTE_NORMAL;
    return Nt().SetInformation(entry, &basic, sizeof basic, FileClass::Basic) >= 0;
}

bool DeleteByHandle(Volume& volume, HANDLE entry) {
    // POSIX semantics take the name away at once, even while another program
    // holds the file open with delete sharing. Where a volume does not offer
    // them (systems before Windows 10 1607, FAT, most shares, Wine), the plain
    // disposition serves.
    return AskOptional(
        volume, OptionalClass::PosixDelete,
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
