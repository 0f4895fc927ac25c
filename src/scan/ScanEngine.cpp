// The scan: one walk over the ticked drives records every directory, then each
// ticked pattern is searched for in every recorded directory.
#include "app/Application.h"
#include "app/Errors.h"
#include "app/Strings.h"
#include "scan/FolderSearch.h"
#include "ui/UnitMainForm.h"

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

bool IsDriveRoot(const std::wstring& dir) { return dir.size() == 2 && dir[1] == L':'; }

// A pattern that names a path ("SUB\*.TMP", "..\*.*", "C:*.*") would find files
// outside the directory it is searched in, and they would be listed under the
// wrong directory; such a pattern matches nothing.
bool MatchesInOneDirectory(const std::wstring& pattern) {
    return !pattern.empty() && pattern.find_first_of(L"\\/:") == std::wstring::npos;
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
        ListTmp.clear();
        patternNext_ = patternEnd_ = 0;
        scanning_ = false;
        for (ui::TButton* button : buttons)
            button->SetEnabled(true);
    });

    try {
        FoundKB = 0;
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

    ListTmp.clear();
    const std::string found = std::to_string(FoundFiles.Count()) + " files found";
    StatusBar1.SetPanelText(0, found);
    ListFiles.Hint = AnsiToWide(found);
    StatusBar1.Repaint();
}

void TSForm::ScanDir(const std::wstring& dir) {
    // A drive's root is walked but never recorded, so files lying in it are not
    // searched; every folder below it that can be listed is.
    WalkFolders(dir, [this](const std::wstring& folder, bool listed) {
        if (listed && !IsDriveRoot(folder))
            ListTmp.push_back(folder);
        Label9.SetCaption("Scanning: " + std::to_string(ListTmp.size()));
        Label9.Repaint();
        PumpScanMessages();
    });
}

void TSForm::ScanFile(const std::wstring& pattern) {
    Label9.SetCaption("Searching...");
    Label9.SetVisible(true);
    Label9.Repaint();
    const size_t directories = MatchesInOneDirectory(pattern) ? ListTmp.size() : 0;
    for (size_t i = 0; i < directories && i < ListTmp.size(); ++i) {
        const std::wstring dir = ListTmp[i];
        SearchFolder(dir, pattern,
                     {[this, &dir](const std::wstring& name, uint64_t size) {
                          const int64_t kilobytes = SizeToKB(size);
                          if (InsertFoundFile(name, dir, kilobytes))
                              FoundKB += kilobytes;
                      },
                      [this] { PumpScanMessages(); }});
    }
    ShowFoundFileCount();
    ListFiles.Repaint();
    Label9.SetCaption("Found: " + std::to_string(FoundKB) + "Kb in " +
                      std::to_string(FoundFiles.Count()) + " files");
}

void TSForm::PumpScanMessages() {
    const std::shared_ptr<bool> alive = life_.Alive;
    Application.ProcessMessages();
    // Closing the window (or the program) ends the scan; once the form itself
    // is gone, nothing of it may be touched.
    if (!*alive || !IsWindow(hwnd_) || Application.Terminated)
        throw EScanStopped();
}

bool TSForm::InsertFoundFile(const std::wstring& name, const std::wstring& dir, int64_t kilobytes) {
    const int position = FoundFiles.Insert(name, dir, kilobytes);
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
        ListFiles.SetCount(FoundFiles.Count());
}

} // namespace dv
