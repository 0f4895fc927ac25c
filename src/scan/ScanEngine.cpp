// The scan: one walk over the ticked drives records every directory, then each
// ticked pattern is searched for in every recorded directory.
#include "app/Application.h"
#include "app/Errors.h"
#include "app/FindHandle.h"
#include "app/Strings.h"
#include "ui/UnitMainForm.h"

#include <windows.h>

#include <cstring>

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

bool IsDriveRoot(const std::string& dir) { return dir.size() == 2 && dir[1] == ':'; }

bool IsNamed(const WIN32_FIND_DATAA& entry, const char* name) {
    return std::strcmp(entry.cFileName, name) == 0;
}

// A directory link or junction is not entered: it can lead back into the tree
// (an endless walk) or to files that the walk reaches by their own path.
bool IsWalkableDirectory(const WIN32_FIND_DATAA& entry) {
    const DWORD attributes = entry.dwFileAttributes;
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// A pattern that names a path ("SUB\*.TMP", "..\*.*", "C:*.*") would find files
// outside the directory it is searched in, and they would be listed under the
// wrong directory; such a pattern matches nothing.
bool MatchesInOneDirectory(const std::string& pattern) {
    return !pattern.empty() && pattern.find_first_of("\\/:") == std::string::npos;
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
            ScanDir(drive);
        // Ticks are read as the pass comes to each entry.
        patternEnd_ = cExt.Count();
        for (patternNext_ = 0; patternNext_ < patternEnd_;) {
            const int entry = patternNext_++;
            if (cExt.Checked(entry))
                ScanFile(cExt.Item(entry));
        }
    } catch (const EScanStopped&) {
        return;
    }

    ListTmp.clear();
    const std::string found = std::to_string(ListFiles.Count()) + " files found";
    StatusBar1.SetPanelText(0, found);
    ListFiles.Hint = found;
    StatusBar1.Repaint();
}

void TSForm::ScanDir(const std::string& dir) {
    // A drive's root is walked but never recorded, so files lying in it are not
    // searched; every directory below it that can be listed is.
    const bool root = IsDriveRoot(dir);
    {
        WIN32_FIND_DATAA entry;
        FindHandle search(dir + "\\*", entry);
        if (search.Valid()) {
            if (!root)
                ListTmp.push_back(dir);
            do {
                if (IsNamed(entry, ".") || IsNamed(entry, ".."))
                    continue;
                if (IsWalkableDirectory(entry))
                    ScanDir(dir + "\\" + entry.cFileName);
            } while (search.Next(entry));
        }
        Label9.SetCaption("Scanning: " + std::to_string(ListTmp.size()));
        Label9.Repaint();
    }
    PumpScanMessages();
}

void TSForm::ScanFile(const std::string& pattern) {
    Label9.SetCaption("Searching...");
    Label9.SetVisible(true);
    Label9.Repaint();
    const size_t directories = MatchesInOneDirectory(pattern) ? ListTmp.size() : 0;
    for (size_t i = 0; i < directories && i < ListTmp.size(); ++i) {
        const std::string dir = ListTmp[i];
        WIN32_FIND_DATAA entry;
        FindHandle search(dir + "\\" + pattern, entry);
        if (!search.Valid())
            continue;
        bool more = true;
        while (more) {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                const int64_t kilobytes =
                    SizeToKB(FileSize64(entry.nFileSizeHigh, entry.nFileSizeLow));
                if (InsertFoundFile(entry.cFileName, dir, kilobytes))
                    FoundKB += kilobytes;
            }
            more = search.Next(entry);
            PumpScanMessages();
        }
    }
    ListFiles.Repaint();
    Label9.SetCaption("Found: " + std::to_string(FoundKB) + "Kb in " +
                      std::to_string(ListFiles.Count()) + " files");
}

void TSForm::PumpScanMessages() {
    const std::shared_ptr<bool> alive = life_.Alive;
    Application.ProcessMessages();
    // Closing the window (or the program) ends the scan; once the form itself
    // is gone, nothing of it may be touched.
    if (!*alive || !IsWindow(hwnd_) || Application.Terminated)
        throw EScanStopped();
}

bool TSForm::InsertFoundFile(const std::string& name, const std::string& dir, int64_t kilobytes) {
    std::string path = dir + "\\" + name;
    if (listedFiles_.contains(path))
        return false;
    // The view is kept in name order (lstrcmpA); a name equal to listed ones
    // goes after them.
    int low = 0, high = ListFiles.Count();
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (lstrcmpA(ListFiles.Caption(middle).c_str(), name.c_str()) <= 0)
            low = middle + 1;
        else
            high = middle;
    }
    ListFiles.Insert(low, name, {dir, std::to_string(kilobytes)});
    listedFiles_.insert(std::move(path));
    return true;
}

} // namespace dv
