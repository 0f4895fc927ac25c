#pragma once
// How the file work by handle asks a volume for what not every volume knows.
// For the file work's own sources only.
#include "app/FileByHandle.h"
#include "app/NtFiles.h"

namespace dv {

// Asks for an optional class of information. A refusal that answers for the
// entry itself fails at once: a plainer request would be refused the same way.
// Any other refusal falls back to the plainer request for this entry; only one
// that says the volume does not know the class gives it up for the walk.
template <class Ask, class Plainer>
bool AskOptional(bool& volumeLacksIt, Ask ask, Plainer plainer) {
    if (volumeLacksIt)
        return plainer();
    const NTSTATUS status = ask();
    if (status >= 0)
        return true;
    if (TellsOfEntry(status))
        return false;
    if (TellsOfVolume(status))
        volumeLacksIt = true;
    return plainer();
}

// The ID of the kind asked, as an opened handle gives it: false when the
// volume gives such IDs but not at this moment. Where it gives none, the ID
// has no kind.
bool QueryHandleId(Volume& volume, HANDLE opened, IdKind kind, FileId& id);

} // namespace dv
