#pragma once
// How the file work by handle asks a volume for what not every volume knows.
// For the file work's own sources only.
#include "app/FileByHandle.h"
#include "app/NtFiles.h"

namespace dv {

// FILE_ID_INFORMATION: a handle's 128-bit ID with its volume's serial number.
struct IdInformation {
    ULONGLONG VolumeSerialNumber;
    uint64_t Low, High; // FILE_ID_128, least significant byte first
};

// Asks for an optional class of information. A refusal that answers for the
// entry itself fails at once: a plainer request would be refused the same way.
// Any other refusal falls back to the plainer request for this entry; the
// volume decides whether the class is asked again (Volume::Heard).
template <class Ask, class Plainer>
bool AskOptional(Volume& volume, OptionalClass kind, Ask ask, Plainer plainer) {
    if (!volume.MayKnow(kind))
        return plainer();
    const NTSTATUS status = ask();
    volume.Heard(kind, status);
    if (status >= 0)
        return true;
    if (TellsOfEntry(status))
        return false;
    return plainer();
}

// Queries a class whose answer ends in a FILE_NAME_INFORMATION at nameAt,
// the buffer made larger until the name fits; the status. A name told longer
// than a counted string can hold fails the query with the overflow status.
NTSTATUS QueryWithName(HANDLE opened, FILE_INFORMATION_CLASS kind, size_t nameAt,
                       std::vector<LONGLONG>& buffer);
// The name such an answer holds.
std::wstring NameIn(const std::vector<LONGLONG>& buffer, size_t nameAt);

// The ID of the kind asked, as an opened handle gives it; none when it gives
// none of that kind now, or none at all. The 64 bits come from one class on
// a volume, the stat where it knows it, else the internal information: two
// classes may give one file's 64 bits differently (Dev Drives).
FileId HandleId(Volume& volume, HANDLE opened, IdKind kind);

} // namespace dv
