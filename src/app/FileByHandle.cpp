#include "app/FileByHandle.h"

#include "app/VolumeQueries.h"

namespace dv {

namespace {

const ULONG kFileOpenNoRecall = 0x00400000;
const DWORD kDispositionDelete = 0x1, kDispositionPosixSemantics = 0x2;
const ULONG kSupportsPosixUnlinkRename = 0x400;

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
    // POSIX deletion is then asked only where it is offered.
    struct {
        ULONG Attributes;
        LONG MaximumComponentNameLength;
        ULONG NameLength;
        WCHAR Name[32];
    } information{};
    const NTSTATUS status =
        Nt().QueryVolume(root, &information, sizeof information, FileClass::VolumeAttributes);
    if (status >= 0 || status == kStatusBufferOverflow)
        volume.NoPosixDelete = !(information.Attributes & kSupportsPosixUnlinkRename);
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
