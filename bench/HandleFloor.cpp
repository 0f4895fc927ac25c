// The clean's floor by handle: each entry opened relative to the folder that
// listed it, attributes cleared where set, deleted through its handle; an
// emptied folder removed through its own. No check that an entry is the one
// listed, no name shown: what the walk must do and nothing else.
#include "Bench.h"
#include "Commands.h"

#include "app/FileByHandle.h"
#include "app/Strings.h"

#include <stdexcept>

namespace dvbench {

namespace {

void EmptyByHandle(HANDLE folder) {
    std::vector<dv::ListedEntry> entries;
    dv::ReadListing(folder, entries);
    for (const dv::ListedEntry& entry : entries) {
        dv::FileHandle opened;
        if (dv::OpenEntry(folder, entry.Name, entry.IsDirectory(), dv::OpenFor::Removal, opened))
            continue;
        if (entry.IsDirectory()) {
            EmptyByHandle(opened.Get());
            dv::SetAttributesByHandle(opened.Get(), 0);
        } else if (entry.Attributes & 7) {
            dv::SetAttributesByHandle(opened.Get(), entry.Attributes & ~DWORD(7));
        }
        dv::DeleteByHandle(opened.Get());
    }
}

} // namespace

void FloorCleanHandles(const std::string& root) {
    RequireBenchPath(root);
    Stopwatch clock;
    dv::FileHandle target;
    if (dv::OpenFolderByPath(dv::AnsiToWide(root), target))
        throw std::runtime_error("cannot open the clean tree");
    EmptyByHandle(target.Get());
    target.Close();
    const double seconds = clock.Seconds();
    const int left = CountEntries(root);
    Report().Add("seconds", seconds).Add("left", int64_t(left)).Add("ok", int64_t(left == 0));
}

} // namespace dvbench
