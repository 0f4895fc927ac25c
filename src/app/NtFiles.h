#pragma once
// The few NT file calls the walks make by handle: open relative to a folder,
// read a listing, query and set an entry's information, ask its volume. They
// stand behind one table so that a test can play what other volumes answer
// (FAT without attribute tags, a share without file IDs, a refusal); the
// program always makes the real calls.
#include <windows.h>
#include <winternl.h>

#include <string>

namespace dv {

class NtFiles {
  public:
    virtual ~NtFiles() = default;
    // objectFlags: OBJ_ flags beyond the case-sensitive name, such as kDontReparse.
    virtual NTSTATUS Open(HANDLE parent, const std::wstring& name, ACCESS_MASK access,
                          ULONG options, ULONG objectFlags, HANDLE& opened) const;
    // bytes: how much of the buffer the answer filled.
    virtual NTSTATUS QueryDirectory(HANDLE folder, void* buffer, ULONG size,
                                    FILE_INFORMATION_CLASS kind, bool restart, ULONG& bytes) const;
    virtual NTSTATUS QueryInformation(HANDLE entry, void* buffer, ULONG size,
                                      FILE_INFORMATION_CLASS kind) const;
    virtual NTSTATUS SetInformation(HANDLE entry, const void* buffer, ULONG size,
                                    FILE_INFORMATION_CLASS kind) const;
    virtual NTSTATUS QueryVolume(HANDLE entry, void* buffer, ULONG size, ULONG kind) const;
};

// The calls in use.
const NtFiles& Nt();

// Puts other calls in place (nullptr: the real ones again). For tests.
void UseNtFiles(const NtFiles* calls);

// The system error code of a status, as Win32 would report it.
DWORD DosError(NTSTATUS status);

// NTSTATUS values the walks tell apart.
constexpr NTSTATUS kStatusBufferOverflow = NTSTATUS(0x80000005); // the fixed part answered
constexpr NTSTATUS kStatusNoMoreFiles = NTSTATUS(0x80000006);
constexpr NTSTATUS kStatusInvalidParameter = NTSTATUS(0xC000000D);
constexpr NTSTATUS kStatusNoSuchFile = NTSTATUS(0xC000000F);
constexpr NTSTATUS kStatusAccessDenied = NTSTATUS(0xC0000022);
constexpr NTSTATUS kStatusObjectNameNotFound = NTSTATUS(0xC0000034);
constexpr NTSTATUS kStatusSharingViolation = NTSTATUS(0xC0000043);
constexpr NTSTATUS kStatusDeletePending = NTSTATUS(0xC0000056);
constexpr NTSTATUS kStatusDirectoryNotEmpty = NTSTATUS(0xC0000101);
constexpr NTSTATUS kStatusNotADirectory = NTSTATUS(0xC0000103);
constexpr NTSTATUS kStatusCannotDelete = NTSTATUS(0xC0000121);
constexpr NTSTATUS kStatusFileDeleted = NTSTATUS(0xC0000123);
constexpr NTSTATUS kStatusReparsePointEncountered = NTSTATUS(0xC000050B);

// An open that fails at any reparse point in its name (Windows 10 1803 on;
// older systems refuse the flag as an invalid parameter).
constexpr ULONG kDontReparse = 0x1000;

// The information classes the walks ask and set.
namespace FileClass {
constexpr FILE_INFORMATION_CLASS Directory = FILE_INFORMATION_CLASS(1);
constexpr FILE_INFORMATION_CLASS FullDirectory = FILE_INFORMATION_CLASS(2);
constexpr FILE_INFORMATION_CLASS Basic = FILE_INFORMATION_CLASS(4);
constexpr FILE_INFORMATION_CLASS Internal = FILE_INFORMATION_CLASS(6);
constexpr FILE_INFORMATION_CLASS Name = FILE_INFORMATION_CLASS(9);
constexpr FILE_INFORMATION_CLASS Disposition = FILE_INFORMATION_CLASS(13);
constexpr FILE_INFORMATION_CLASS All = FILE_INFORMATION_CLASS(18);
constexpr FILE_INFORMATION_CLASS AttributeTag = FILE_INFORMATION_CLASS(35);
constexpr FILE_INFORMATION_CLASS IdBothDirectory = FILE_INFORMATION_CLASS(37);
constexpr FILE_INFORMATION_CLASS Id = FILE_INFORMATION_CLASS(59);
constexpr FILE_INFORMATION_CLASS IdExtdDirectory = FILE_INFORMATION_CLASS(60);
constexpr FILE_INFORMATION_CLASS DispositionEx = FILE_INFORMATION_CLASS(64);
constexpr FILE_INFORMATION_CLASS Stat = FILE_INFORMATION_CLASS(68);
constexpr ULONG VolumeSerial = 1;     // of a volume: its label and serial number
constexpr ULONG VolumeDevice = 4;     // of a volume: whether it is a share
constexpr ULONG VolumeAttributes = 5; // of a volume: what its file system supports
} // namespace FileClass

// Whether a failed query or deletion answers for the entry itself (gone,
// being deleted, held without sharing, read-only, not empty) rather than for
// the kind of request: a plainer request would be refused the same way.
bool TellsOfEntry(NTSTATUS status);

// Whether a failed request says that the volume does not know its class of
// information at all; any other failure is about the moment or the entry.
bool TellsOfVolume(NTSTATUS status);

} // namespace dv
