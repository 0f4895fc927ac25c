// The floor of the removal by handle: per found file, the calls the removal
// makes under Wine and nothing else, on one thread, with no output.
#include "Bench.h"
#include "Commands.h"

#include "app/FileByHandle.h"
#include "app/NtFiles.h"

#include <stdexcept>

namespace dvbench {

namespace {

// As the removal opens a found file: relative to the drive's root, by the
// rest of its path, in one call that crosses no reparse point, for deletion
// and reading its attributes, without fetching a cloud file's content.
const ACCESS_MASK kAccess = DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
const ULONG kOptions = FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT |
                       0x00400000 /* FILE_OPEN_NO_RECALL */ | FILE_NON_DIRECTORY_FILE;

} // namespace

void FloorRemoveCalls(const std::string& drive, int expected) {
    RequireBenchPath(drive);
    // The found files' paths below the drive's root, made before the clock runs.
    std::vector<std::wstring> below;
    WalkFiles(drive, [&](const std::string& dir, const WIN32_FIND_DATAA& entry) {
        if (IsGeneratedMatch(entry.cFileName)) {
            const std::string path = dir.substr(drive.size() + 1) + "\\" + entry.cFileName;
            below.emplace_back(path.begin(), path.end()); // the trees' names are ASCII
        }
    });
    // The removal's buffer for the query: the fixed part and most paths at once.
    std::vector<LONGLONG> all(65);
    const ULONG allSize = ULONG(all.size() * sizeof(LONGLONG));
    Stopwatch clock;
    dv::FileHandle root;
    if (dv::OpenFolderByPath(L"\\\\?\\" + std::wstring(drive.begin(), drive.end()) + L"\\", root))
        throw std::runtime_error("cannot open the drive's root");
    // What the removal asks of the drive once: what its volume supports, and
    // the root's path (the volume offers no POSIX deletion under Wine).
    dv::Volume::Of(root.Get());
    std::wstring rootPath;
    dv::QueryPathFromRoot(root.Get(), rootPath);
    int deleted = 0;
    for (const std::wstring& path : below) {
        HANDLE file = nullptr;
        if (dv::Nt().Open(root.Get(), path, kAccess, kOptions, dv::kDontReparse, file) < 0)
            continue;
        // Its path from the root, its ID and its last-write time, in one query.
        const NTSTATUS read =
            dv::Nt().QueryInformation(file, all.data(), allSize, dv::FileClass::All);
        // The plain disposition: the removal asks no other where the volume
        // offers no POSIX deletion.
        const BOOLEAN dispose = TRUE;
        if ((read >= 0 || read == dv::kStatusBufferOverflow) &&
            dv::Nt().SetInformation(file, &dispose, sizeof dispose, dv::FileClass::Disposition) >=
                0)
            ++deleted;
        CloseHandle(file); // the file goes here
    }
    root.Close();
    const double seconds = clock.Seconds();
    Report()
        .Add("seconds", seconds)
        .Add("deleted", int64_t(deleted))
        .Add("ok", int64_t(deleted == expected));
}

} // namespace dvbench
