// Where the removal's time goes beyond its file calls: the same files deleted
// in four ways, in rounds so that the load of the moment falls on each alike.
#include "Bench.h"
#include "Commands.h"
#include "FormSetup.h"

#include "app/NtFiles.h"
#include "app/RunProgress.h"
#include "scan/FoundFileRemoval.h"
#include "ui/WorkerRun.h"

#include <stdexcept>

namespace dvbench {

namespace {

const int kRounds = 10;

// The removal's loop over some of the found files, as bDeleteClick runs it on
// its worker: the path told, the file deleted if still the one found, the
// kilobytes and the step told.
void RemoveSome(dv::TFoundFiles& found, const std::vector<int>& positions,
                dv::TRunProgress& progress) {
    dv::TFoundFileRemover remover(found);
    for (int i : positions) {
        progress.StopPoint();
        const dv::FoundFile file = found[i];
        const std::wstring dir = found.Directory(i);
        progress.Show(dir + L"\\" + file.Name);
        if (remover.Delete(dir, file))
            progress.Freed(file.KB);
        progress.Step();
    }
}

// The same files through the floor's calls: open from the root, one query,
// the plain disposition, the close.
void FloorSome(dv::TFoundFiles& found, const std::vector<int>& positions, size_t rootLength,
               HANDLE root) {
    std::vector<LONGLONG> all(65);
    for (int i : positions) {
        const std::wstring below =
            found.Directory(i).substr(rootLength + 1) + L"\\" + found[i].Name;
        HANDLE file = nullptr;
        if (dv::Nt().Open(root, below, DELETE | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                          FILE_SYNCHRONOUS_IO_NONALERT | FILE_OPEN_REPARSE_POINT | 0x00400000 |
                              FILE_NON_DIRECTORY_FILE,
                          dv::kDontReparse, file) < 0)
            continue;
        dv::Nt().QueryInformation(file, all.data(), ULONG(all.size() * sizeof(LONGLONG)),
                                  dv::FileClass::All);
        const BOOLEAN dispose = TRUE;
        dv::Nt().SetInformation(file, &dispose, sizeof dispose, dv::FileClass::Disposition);
        CloseHandle(file);
    }
}

} // namespace

// Microseconds per file: the removal's loop on the window's thread
// ("thread"), on a worker while the window's thread waits and shows nothing
// ("worker"), on a worker while the window's thread shows the latest path and
// count once a frame as the removal does ("worker_shown"), and the floor's
// calls ("floor"); then seconds to take every removed item out of the store
// and the view.
void ProfileRemoveRun(const std::string& drive, bool visible) {
    RequireBenchPath(drive);
    auto form = MakeForm(visible, 1);
    SelectDrive(*form, drive);
    TickPatterns(*form);
    form->bScanClick();
    dv::TFoundFiles& found = form->FoundFiles;
    const int count = found.Count();
    dv::FileHandle root;
    if (dv::OpenFolderByPath(L"\\\\?\\" + std::wstring(drive.begin(), drive.end()) + L"\\", root))
        throw std::runtime_error("cannot open the drive's root");
    form->ProgressBar2.SetRange(0, count);
    form->ProgressBar2.SetVisible(true);
    const char* const ways[] = {"thread", "worker", "worker_shown", "floor"};
    double seconds[4] = {};
    int files[4] = {};
    for (int round = 0; round < kRounds; ++round) {
        const int begin = count * round / kRounds, end = count * (round + 1) / kRounds;
        for (int way = 0; way < 4; ++way) {
            std::vector<int> positions;
            for (int i = begin; i < end; ++i)
                if (i % 4 == way)
                    positions.push_back(i);
            files[way] += int(positions.size());
            dv::TRunProgress progress;
            Stopwatch clock;
            if (way == 0) {
                RemoveSome(found, positions, progress);
            } else if (way == 3) {
                FloorSome(found, positions, drive.size(), root.Get());
            } else {
                dv::ui::TWorkerRun worker(progress,
                                          [&] { RemoveSome(found, positions, progress); });
                dv::RunState state;
                uint64_t version = 0;
                worker.Wait(dv::ui::TRunInput::Held, [&] {
                    if (way == 1)
                        return;
                    const std::wstring shown = state.Text;
                    if (!progress.ReadIfChanged(state, version))
                        return;
                    if (state.Text != shown) {
                        form->StatusBar1.SetPanelText(0, state.Text);
                        form->StatusBar1.Repaint();
                    }
                    form->ProgressBar2.SetPosition(state.Steps);
                    form->ProgressBar2.Repaint();
                });
            }
            seconds[way] += clock.Seconds();
        }
    }
    std::vector<int> everything;
    for (int i = 0; i < count; ++i)
        everything.push_back(i);
    Stopwatch clock;
    found.Remove(everything);
    form->ListFiles.Removed(everything, found.Count());
    const double dropSeconds = clock.Seconds();
    Report report;
    report.Add("items", int64_t(count));
    for (int way = 0; way < 4; ++way)
        report.Add(ways[way], files[way] ? seconds[way] * 1e6 / files[way] : 0.0);
    report.Add("drop_seconds", dropSeconds);
}

} // namespace dvbench
