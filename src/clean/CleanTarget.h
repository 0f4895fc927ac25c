#pragma once
// Emptying one cleaning target on the clean's worker: the target is opened,
// judged by the folder its open reached, and emptied; each deleted file and
// its kilobytes go to the run's progress.
#include "app/RunProgress.h"
#include "clean/ProtectedFolders.h"

#include <string>

namespace dv {

// Raises the I/O error of the system code when the target cannot be opened,
// is no folder or is one that no clean may empty; ERunStopped at the next
// entry once a stop is asked.
void EmptyCleaningTarget(const std::wstring& path, const TProtectedFolders& guard,
                         TRunProgress& progress);

} // namespace dv
