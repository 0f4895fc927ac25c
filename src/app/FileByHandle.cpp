#include "app/FileByHandle.h"

#include "app/FindHandle.h"

#include <winternl.h>

namespace dv {

namespace {

// The import library of some toolchains lacks these, and they are the same on
// every Windows since NT: they are looked up in ntdll when first needed.
using NtQueryDirectoryFileProc = NTSTATUS(NTAPI*)(HANDLE, HANDLE, PIO_APC_ROUTINE, PVOID,
                                                  PIO_STATUS_BLOCK, PVOID, ULONG,
                                                  FILE_INFORMATION_CLASS, BOOLEAN, PUNICODE_STRING,
                                                  BOOLEAN);
using NtOpenFileProc = decltype(&NtOpenFile);
using NtQueryInformationFileProc = decltype(&NtQueryInformationFile);
using RtlNtStatusToDosErrorProc = decltype(&RtlNtStatusToDosError);

struct NtCalls {
    NtOpenFileProc OpenFile;
    NtQueryDirectoryFileProc QueryDirectoryFile;
    NtQueryInformationFileProc QueryInformationFile;
    RtlNtStatusToDosErrorProc StatusToDosError;
};

template <class Proc> Proc Lookup(HMODULE ntdll, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(ntdll, name)));
}

const NtCalls& Nt() {
    static const NtCalls calls = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return NtCalls{
            Lookup<NtOpenFileProc>(ntdll, "NtOpenFile"),
            Lookup<NtQueryDirectoryFileProc>(ntdll, "NtQueryDirectoryFile"),
            Lookup<NtQueryInformationFileProc>(ntdll, "NtQueryInformationFile"),
            Lookup<RtlNtStatusToDosErrorProc>(ntdll, "RtlNtStatusToDosError"),
        };
    }();
    return calls;
}

const NTSTATUS kNoMoreFiles = NTSTATUS(0x80000006);
const FILE_INFORMATION_CLASS kIdBothDirectoryInformation = FILE_INFORMATION_CLASS(37);
const FILE_INFORMATION_CLASS kInternalInformation = FILE_INFORMATION_CLASS(6);
const FILE_INFORMATION_CLASS kAttributeTagInformation = FILE_INFORMATION_CLASS(35);
const FILE_INFO_BY_HANDLE_CLASS kDispositionInfoEx = FILE_INFO_BY_HANDLE_CLASS(21);
const DWORD kDispositionDelete = 0x1, kDispositionPosixSemantics = 0x2;
// The attributes a program may set (FILE_ATTRIBUTE_VALID_SET_FLAGS).
const DWORD kSettableAttributes = 0x31a7;

ACCESS_MASK AccessFor(OpenFor purpose, bool directory) {
    const ACCESS_MASK listing =
        directory ? FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES | SYNCHRONIZE
                  : FILE_READ_ATTRIBUTES | SYNCHRONIZE;
    switch (purpose) {
    case OpenFor::Removal:
        return listing | FILE_WRITE_ATTRIBUTES | DELETE;
    case OpenFor::Attributes:
        return listing | FILE_WRITE_ATTRIBUTES;
    case OpenFor::Listing:
        return listing;
    }
    return listing;
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

DWORD OpenFolderByPath(const std::wstring& path, FileHandle& folder) {
    folder = FileHandle(CreateFileW(path.c_str(), AccessFor(OpenFor::Listing, true),
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder.Valid())
        return GetLastError();
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (GetFileInformationByHandleEx(folder.Get(), FileAttributeTagInfo, &tag, sizeof tag) &&
        !(tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        folder.Close();
        return ERROR_DIRECTORY;
    }
    return 0;
}

DWORD OpenEntry(HANDLE parent, const std::wstring& name, bool directory, OpenFor purpose,
                FileHandle& entry) {
    UNICODE_STRING nameString{};
    nameString.Length = nameString.MaximumLength = USHORT(name.size() * sizeof(wchar_t));
    nameString.Buffer = const_cast<wchar_t*>(name.c_str());
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof attributes;
    attributes.RootDirectory = parent;
    attributes.ObjectName = &nameString;
    // No OBJ_CASE_INSENSITIVE: a folder may hold names that differ in case alone.
    IO_STATUS_BLOCK io{};
    HANDLE opened = nullptr;
    const ULONG options = FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT |
                          (directory ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE);
    const NTSTATUS status =
        Nt().OpenFile(&opened, AccessFor(purpose, directory), &attributes, &io,
                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, options);
    if (status < 0)
        return Nt().StatusToDosError(status);
    entry = FileHandle(opened);
    return 0;
}

bool ReadListing(HANDLE folder, std::vector<ListedEntry>& entries) {
    entries.clear();
    // Room for some hundreds of entries per call; 8-byte aligned as the records are.
    std::vector<LONGLONG> buffer(8192);
    for (BOOLEAN restart = TRUE;; restart = FALSE) {
        IO_STATUS_BLOCK io{};
        const NTSTATUS status =
            Nt().QueryDirectoryFile(folder, nullptr, nullptr, nullptr, &io, buffer.data(),
                                    ULONG(buffer.size() * sizeof(LONGLONG)),
                                    kIdBothDirectoryInformation, FALSE, nullptr, restart);
        if (status == kNoMoreFiles)
            return true;
        if (status < 0)
            return false;
        const auto* bytes = reinterpret_cast<const char*>(buffer.data());
        for (ULONG offset = 0;;) {
            const auto* record = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(bytes + offset);
            std::wstring name(record->FileName, record->FileNameLength / sizeof(wchar_t));
            if (!IsDotEntry(name.c_str()))
                entries.push_back({std::move(name), record->FileAttributes,
                                   uint64_t(record->EndOfFile.QuadPart),
                                   uint64_t(record->FileId.QuadPart)});
            if (record->NextEntryOffset == 0)
                break;
            offset += record->NextEntryOffset;
        }
    }
}

bool IsListedEntry(HANDLE opened, const ListedEntry& listed) {
    IO_STATUS_BLOCK io{};
    struct {
        ULONG FileAttributes;
        ULONG ReparseTag;
    } tag{};
    LARGE_INTEGER index{};
    if (Nt().QueryInformationFile(opened, &io, &tag, sizeof tag, kAttributeTagInformation) < 0 ||
        Nt().QueryInformationFile(opened, &io, &index, sizeof index, kInternalInformation) < 0)
        return false;
    const bool directory = tag.FileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    return !(tag.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           directory == listed.IsDirectory() && uint64_t(index.QuadPart) == listed.FileId;
}

bool SetAttributesByHandle(HANDLE entry, DWORD attributes) {
    // As SetFileAttributes does: no time changes, and "normal" when nothing is left.
    FILE_BASIC_INFO basic{};
    basic.FileAttributes = (attributes & kSettableAttributes) | FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(entry, FileBasicInfo, &basic, sizeof basic);
}

bool DeleteByHandle(HANDLE entry) {
    // POSIX semantics take the name away at once, even while another program
    // holds the file open with delete sharing. Systems before Windows 10 1607
    // and Wine lack it; they are asked once, then the plain call serves.
    static bool posixDeleteMissing = false;
    if (!posixDeleteMissing) {
        DWORD flags = kDispositionDelete | kDispositionPosixSemantics;
        if (SetFileInformationByHandle(entry, kDispositionInfoEx, &flags, sizeof flags))
            return true;
        const DWORD error = GetLastError();
        if (error != ERROR_INVALID_PARAMETER && error != ERROR_INVALID_FUNCTION &&
            error != ERROR_NOT_SUPPORTED && error != ERROR_CALL_NOT_IMPLEMENTED)
            return false;
        posixDeleteMissing = true;
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    return SetFileInformationByHandle(entry, FileDispositionInfo, &disposition, sizeof disposition);
}

} // namespace dv
