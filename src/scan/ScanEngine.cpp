// The scan: one walk over the ticked drives lists every folder once, records
// it and keeps, for every pattern of cExt, the files that match; then each
// ticked pattern lists what was kept for it.
#include "app/Application.h"
#include "app/Errors.h"
#include "app/RunProgress.h"
#include "app/Strings.h"
#include "scan/FolderSearch.h"
#include "scan/ListingMatch.h"
#include "ui/UnitMainForm.h"
#include "ui/WorkerRun.h"

#include <windows.h>

namespace dv {

namespace {

// Raised from the scan's message pump when the main window went away in it.
class EScanStopped : public Exception {
  public:
    EScanStopped() : Exception("The scan stopped because its window was closed") {}
};

// Runs its action when the scope is left, on every way out.
template <class Action> class OnExit {
  public:
    explicit OnExit(Action action) : action_(action) {}
    ~OnExit() { action_(); }
    OnExit(const OnExit&) = delete;
    OnExit& operator=(const OnExit&) = delete;

  private:
    Action action_;
};

// How often the found-file count reaches the view while a scan fills it.
const DWORD kCountInterval = 250; // milliseconds

const uint32_t kNoFolder = TFolderTable::kNone;

// Every pattern of cExt, ticked or not: a tick may still come before the
// pattern pass reaches it.
std::vector<std::wstring> AllPatterns(const ui::TCheckListBox& list) {
    std::vector<std::wstring> patterns;
    for (int i = 0, n = list.Count(); i < n; ++i)
        patterns.push_back(AnsiToWide(list.Item(i)));
    return patterns;
}

bool AnyTicked(const ui::TCheckListBox& list) {
    for (int i = 0, n = list.Count(); i < n; ++i)
        if (list.Checked(i))
            return true;
    return false;
}

std::vector<std::string> TickedEntries(const ui::TCheckListBox& list) {
    std::vector<std::string> entries;
    for (int i = 0, n = list.Count(); i < n; ++i)
        if (list.Checked(i))
            entries.push_back(list.Item(i));
    return entries;
}

// Tells in Label9 why a scan cannot start: the drive comes first.
bool ReadyToScan(TSForm& form) {
    const char* missing = !AnyTicked(form.cDisks) ? "No drive selected!"
                          : !AnyTicked(form.cExt) ? "No file type selected!"
                                                  : nullptr;
    if (missing) {
        form.Label9.SetCaption(missing);
        form.Label9.SetVisible(true);
    }
    return !missing;
}

} // namespace

void TSForm::bScanClick() {
    // Enter presses the default button even while the scan pumps messages.
    if (scanning_)
        return;
    ClearFoundFiles();
    if (!ReadyToScan(*this))
        return;
    Label9.SetCaption("Scanning...");
    Label9.SetVisible(true);
    Label9.Repaint();

    ui::TButton* const buttons[] = {&bScan, &bSelAll, &bDelete, &bClearAll};
    for (ui::TButton* button : buttons)
        button->SetEnabled(false);
    scanning_ = true;
    const std::shared_ptr<bool> alive = life_.Alive;
    OnExit scanEnd([this, alive, &buttons] {
        if (!*alive)
            return;
        ListTmp.Clear();
        patternNext_ = patternEnd_ = 0;
        scanning_ = false;
        for (ui::TButton* button : buttons)
            button->SetEnabled(true);
    });

    try {
        FoundKB = 0;
        ListTmp.SetPatterns(AllPatterns(cExt));
        for (const std::string& drive : TickedEntries(cDisks))
            ScanDir(AnsiToWide(drive));
        // Ticks are read as the pass comes to each entry.
        patternEnd_ = cExt.Count();
        for (patternNext_ = 0; patternNext_ < patternEnd_;) {
            const int entry = patternNext_++;
            if (cExt.Checked(entry))
                ScanFile(AnsiToWide(cExt.Item(entry)));
        }
    } catch (const EScanStopped&) {
        return;
    }

    ListTmp.Clear();
    const std::string found = std::to_string(FoundFiles.Count()) + " files found";
    StatusBar1.SetPanelText(0, found);
    ListFiles.Hint = AnsiToWide(found);
    StatusBar1.Repaint();
}

// Keeps the matches of the patterns bScanClick put in the record; called on its
// own, it keeps none, and every pattern lists the recorded folders again.
void TSForm::ScanDir(const std::wstring& dir) {
    TRunProgress progress;
    RunScanWork(
        progress,
        [&] {
            TListingMatcher matcher(ListTmp.Patterns());
            // A drive's root is walked but never recorded, so files lying in it
            // are not listed; every folder below it that can be listed is.
            WalkFolders(dir, ListTmp,
                        [&](uint32_t folder, const std::vector<ListedEntry>* entries) {
                            if (entries && ListTmp.IsRecorded(folder))
                                matcher.KeepMatches(ListTmp, folder, *entries);
                            progress.SetSteps(int(ListTmp.RecordedCount()));
                            progress.StopPoint();
                        });
        },
        [&](const RunState& state) {
            Label9.SetCaption("Scanning: " + std::to_string(state.Steps));
            Label9.Repaint();
        });
}

void TSForm::ScanFile(const std::wstring& pattern) {
    Label9.SetCaption("Searching...");
    Label9.SetVisible(true);
    Label9.Repaint();
    const int kept = ListTmp.PatternIndex(pattern);
    if (kept >= 0)
        ListKeptMatches(size_t(kept));
    else
        SearchRecordedFolders(pattern);
    ShowFoundFileCount();
    ListFiles.Repaint();
    Label9.SetCaption("Found: " + std::to_string(FoundKB) + "Kb in " +
                      std::to_string(FoundFiles.Count()) + " files");
}

void TSForm::ListKeptMatches(size_t pattern) {
    // As a search of each folder did: a round of the pump after each match,
    // the fetch of the next one (for the last, the fetch that ends the search)
    // made.
    for (uint32_t index : ListTmp.Kept(pattern)) {
        const KeptFile& file = ListTmp.File(index);
        ListFoundFile(ListTmp.FileName(index), file.Folder, file.Size, file.Id(), file.LastWrite);
        PumpScanMessages();
    }
}

void TSForm::SearchRecordedFolders(const std::wstring& pattern) {
    struct Match {
        std::wstring Name;
        uint32_t Folder;
        uint64_t Size;
        FileId Id;
        int64_t LastWrite;
    };
    // Listed on the worker, then listed in the view in the order found.
    std::vector<Match> matches;
    TRunProgress progress;
    RunScanWork(
        progress,
        [&] {
            const TNamePattern expression(pattern);
            TRecordedFolderLister lister(ListTmp);
            std::vector<ListedEntry> entries;
            TFoldedName name;
            for (uint32_t folder = 0; folder < ListTmp.FolderCount(); ++folder) {
                progress.StopPoint();
                if (!ListTmp.IsRecorded(folder) || !lister.List(folder, entries))
                    continue;
                for (const ListedEntry& entry : entries) {
                    if (entry.IsDirectory())
                        continue;
                    name.Assign(entry.Name);
                    if (expression.Matches(name))
                        matches.push_back(
                            {entry.Name, folder, entry.Size, entry.Id, entry.LastWrite});
                }
            }
        },
        [](const RunState&) {});
    for (const Match& match : matches) {
        ListFoundFile(match.Name, match.Folder, match.Size, match.Id, match.LastWrite);
        PumpScanMessages();
    }
}

// The file work of the scan on a worker, while the window handles its input as
// it comes; closing the window (or the program) stops it.
void TSForm::RunScanWork(TRunProgress& progress, const std::function<void()>& work,
                         const std::function<void(const RunState&)>& showProgress) {
    const std::shared_ptr<bool> alive = life_.Alive;
    RunState state;
    uint64_t version = 0;
    ui::TWorkerRun worker(progress, work);
    run_.Worker = &worker;
    OnExit forget([this, alive] {
        if (*alive)
            run_ = {};
    });
    worker.Wait(ui::TRunInput::Dispatched, [&] {
        if (!*alive || !IsWindow(hwnd_) || Application.Terminated)
            throw EScanStopped();
        if (progress.ReadIfChanged(state, version))
            showProgress(state);
    });
}

void TSForm::ListFoundFile(std::wstring_view name, uint32_t folder, uint64_t size,
                           const FileId& listedId, int64_t lastWrite) {
    const int64_t kilobytes = SizeToKB(size);
    if (!InsertFoundFile(name, StoreFolder(folder), kilobytes,
                         ListTmp.ComparableId(folder, listedId), lastWrite))
        return;
    FoundKB += kilobytes;
    HandOnFolderIds(folder);
}

// The store's folder for a recorded one. The record remembers it, so that a
// match costs no path made and looked up again; a new one is added below its
// parent's, the parents first, as the store would add the recorded path.
uint32_t TSForm::StoreFolder(uint32_t folder) {
    const TFolderTable& folders = ListTmp.Folders();
    for (;;) {
        const uint32_t stored = ListTmp.StoreFolder(folder);
        if (stored != kNoFolder)
            return stored;
        // The uppermost folder on the way that the store lacks.
        uint32_t missing = folder, parent = folders.Parent(folder);
        while (parent != kNoFolder && ListTmp.StoreFolder(parent) == kNoFolder) {
            missing = parent;
            parent = folders.Parent(parent);
        }
        const uint32_t above = parent == kNoFolder ? kNoFolder : ListTmp.StoreFolder(parent);
        ListTmp.SetStoreFolder(missing, FoundFiles.AddFolder(above, folders.Name(missing)));
    }
}

// The folder and each one above it, each handed on once, as the drive's
// handles give its ID alike; then the drive, which is never recorded, with
// its volume as the walk knew it.
void TSForm::HandOnFolderIds(uint32_t folder) {
    const TFolderTable& folders = ListTmp.Folders();
    for (uint32_t f = folder; ListTmp.HandOnId(f); f = folders.Parent(f)) {
        if (folders.Parent(f) != kNoFolder) {
            FoundFiles.SetFolderId(StoreFolder(f),
                                   ListTmp.ComparableId(f, folders.Id(f).value_or(FileId{})));
            continue;
        }
        FoundFiles.SetScannedVolume(StoreFolder(f), ListTmp.VolumeOf(f));
        return;
    }
}

void TSForm::PumpScanMessages() {
    const std::shared_ptr<bool> alive = life_.Alive;
    Application.ProcessMessages();
    // Closing the window (or the program) ends the scan; once the form itself
    // is gone, nothing of it may be touched.
    if (!*alive || !IsWindow(hwnd_) || Application.Terminated)
        throw EScanStopped();
}

bool TSForm::InsertFoundFile(std::wstring_view name, uint32_t folder, int64_t kilobytes,
                             const FileId& fileId, int64_t lastWrite) {
    const int position = FoundFiles.Insert(name, folder, kilobytes, fileId, lastWrite);
    if (position < 0)
        return false;
    ListFiles.Inserted(position, FoundFiles.Count());
    // The count (the scroll bar's reach) follows a few times a second: setting
    // it costs more than finding the file.
    if (GetTickCount() - countShownAt_ >= kCountInterval)
        ShowFoundFileCount();
    return true;
}

void TSForm::ShowFoundFileCount() {
    countShownAt_ = GetTickCount();
    if (ListFiles.Count() != FoundFiles.Count())
        ListFiles.Grown(FoundFiles.Count());
}

} // namespace dv
