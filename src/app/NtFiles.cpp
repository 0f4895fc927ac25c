#include "app/NtFiles.h"

#include <algorithm>

namespace dv {

namespace {

// The import library of some toolchains lacks these, and they are the same on
// every Windows since NT: they are looked up in ntdll when first needed.
using NtOpenFileProc = decltype(&NtOpenFile);
using NtQueryDirectoryFileProc = NTSTATUS(NTAPI*)(HANDLE, HANDLE, PIO_APC_ROUTINE, PVOID,
                                                  PIO_STATUS_BLOCK, PVOID, ULONG,
                                                  FILE_INFORMATION_CLASS, BOOLEAN, PUNICODE_STRING,
                                                  BOOLEAN);
using NtQueryInformationFileProc = decltype(&NtQueryInformationFile);
using NtSetInformationFileProc = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                  FILE_INFORMATION_CLASS);
using NtQueryVolumeInformationFileProc = NTSTATUS(NTAPI*)(HANDLE, PIO_STATUS_BLOCK, PVOID, ULONG,
                                                          ULONG);
using RtlNtStatusToDosErrorProc = decltype(&RtlNtStatusToDosError);

struct Procs {
    NtOpenFileProc OpenFile;
    NtQueryDirectoryFileProc QueryDirectoryFile;
    NtQueryInformationFileProc QueryInformationFile;
    NtSetInformationFileProc SetInformationFile;
    NtQueryVolumeInformationFileProc QueryVolumeInformationFile;
    RtlNtStatusToDosErrorProc StatusToDosError;
};

template <class Proc> Proc Lookup(HMODULE ntdll, const char* name) {
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(ntdll, name)));
}

const Procs& Ntdll() {
    static const Procs procs = [] {
        HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
        return Procs{
            Lookup<NtOpenFileProc>(ntdll, "NtOpenFile"),
            Lookup<NtQueryDirectoryFileProc>(ntdll, "NtQueryDirectoryFile"),
            Lookup<NtQueryInformationFileProc>(ntdll, "NtQueryInformationFile"),
            Lookup<NtSetInformationFileProc>(ntdll, "NtSetInformationFile"),
            Lookup<NtQueryVolumeInformationFileProc>(ntdll, "NtQueryVolumeInformationFile"),
            Lookup<RtlNtStatusToDosErrorProc>(ntdll, "RtlNtStatusToDosError"),
        };
    }();
    return procs;
}

const NtFiles kRealCalls;
const NtFiles* inUse = &kRealCalls;

} // namespace

NTSTATUS NtFiles::Open(HANDLE parent, const std::wstring& name, ACCESS_MASK access, ULONG options,
                       ULONG objectFlags, HANDLE& opened) const {
    UNICODE_STRING nameString{};
    // A name longer than a counted string can hold is one no file system has.
    if (name.size() * sizeof(wchar_t) > 0xFFFE)
        return kStatusObjectNameNotFound;
    nameString.Length = nameString.MaximumLength = USHORT(name.size() * sizeof(wchar_t));
    nameString.Buffer = const_cast<wchar_t*>(name.c_str());
    // Set field by field: the 64-bit headers pad the structure.
    OBJECT_ATTRIBUTES attributes{};
    attributes.Length = sizeof attributes;
    attributes.RootDirectory = parent;
    attributes.ObjectName = &nameString;
    // No OBJ_CASE_INSENSITIVE: a folder may hold names that differ in case alone.
    attributes.Attributes = objectFlags;
    IO_STATUS_BLOCK io{};
    return Ntdll().OpenFile(&opened, access, &attributes, &io,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, options);
}

NTSTATUS NtFiles::QueryDirectory(HANDLE folder, void* buffer, ULONG size,
                                 FILE_INFORMATION_CLASS kind, bool restart, ULONG& bytes) const {
    IO_STATUS_BLOCK io{};
    const NTSTATUS status = Ntdll().QueryDirectoryFile(folder, nullptr, nullptr, nullptr, &io,
                                                       buffer, size, kind, FALSE, nullptr, restart);
    bytes = status >= 0 ? ULONG(std::min<ULONG_PTR>(io.Information, size)) : 0;
    return status;
}

NTSTATUS NtFiles::QueryInformation(HANDLE entry, void* buffer, ULONG size,
                                   FILE_INFORMATION_CLASS kind) const {
    IO_STATUS_BLOCK io{};
    return Ntdll().QueryInformationFile(entry, &io, buffer, size, kind);
}

NTSTATUS NtFiles::SetInformation(HANDLE entry, const void* buffer, ULONG size,
                                 FILE_INFORMATION_CLASS kind) const {
    IO_STATUS_BLOCK io{};
    return Ntdll().SetInformationFile(entry, &io, const_cast<void*>(buffer), size, kind);
}

NTSTATUS NtFiles::QueryVolume(HANDLE entry, void* buffer, ULONG size, ULONG kind) const {
    IO_STATUS_BLOCK io{};
    return Ntdll().QueryVolumeInformationFile(entry, &io, buffer, size, kind);
}

const NtFiles& Nt() { return *inUse; }

void UseNtFiles(const NtFiles* calls) { inUse = calls ? calls : &kRealCalls; }

DWORD DosError(NTSTATUS status) { return Ntdll().StatusToDosError(status); }

bool TellsOfEntry(NTSTATUS status) {
    return status == kStatusObjectNameNotFound || status == kStatusFileDeleted ||
           status == kStatusDeletePending || status == kStatusSharingViolation ||
           status == kStatusCannotDelete || status == kStatusDirectoryNotEmpty;
}

bool TellsOfVolume(NTSTATUS status) {
    const NTSTATUS kNotImplemented = NTSTATUS(0xC0000002), kInvalidInfoClass = NTSTATUS(0xC0000003),
                   kInvalidDeviceRequest = NTSTATUS(0xC0000010),
                   kNotSupported = NTSTATUS(0xC00000BB), kInvalidLevel = NTSTATUS(0xC0000148);
    return status == kNotImplemented || status == kInvalidInfoClass ||
           status == kStatusInvalidParameter || status == kInvalidDeviceRequest ||
           status == kNotSupported || status == kInvalidLevel;
}

} // namespace dv
