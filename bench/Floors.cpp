// The floors: bare loops that make the platform calls of an operation and
// nothing else, timed as the operation is.
#include "Bench.h"
#include "Commands.h"

#include <commctrl.h>

#include <stdexcept>

namespace dvbench {

namespace {

// The status output the operations must show for every file, on plain
// platform controls in a hidden window of their own: a label for the clean
// run; a status bar and a progress bar for the removal.
class StatusWindow {
  public:
    StatusWindow() {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = "DvBenchStatus";
        RegisterClassA(&windowClass);
        frame_ = CreateWindowExA(0, "DvBenchStatus", "", WS_OVERLAPPEDWINDOW, 0, 0, 440, 300,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        label_ = Child("Static", SS_LEFT | SS_NOPREFIX, {36, 134, 117, 13});
        statusBar_ = Child(STATUSCLASSNAMEA, 0, {0, 255, 435, 20});
        progressBar_ = Child(PROGRESS_CLASSA, 0, {264, 80, 149, 12});
        SendMessageA(progressBar_, PBM_SETSTEP, 1, 0);
    }
    ~StatusWindow() { DestroyWindow(frame_); }
    StatusWindow(const StatusWindow&) = delete;
    StatusWindow& operator=(const StatusWindow&) = delete;

    void SetRange(int count) { SendMessageA(progressBar_, PBM_SETRANGE32, 0, count); }
    void ShowLabel(const char* text) {
        SetWindowTextA(label_, text);
        Repaint(label_);
    }
    void ShowPanel(const std::string& text) {
        SendMessageA(statusBar_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Repaint(statusBar_);
    }
    void StepBar() {
        SendMessageA(progressBar_, PBM_STEPIT, 0, 0);
        Repaint(progressBar_);
    }

  private:
    struct Place {
        int Left, Top, Width, Height;
    };
    HWND Child(const char* className, DWORD style, Place p) {
        return CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, p.Left, p.Top,
                               p.Width, p.Height, frame_, nullptr, GetModuleHandleA(nullptr),
                               nullptr);
    }
    static void Repaint(HWND hwnd) {
        RedrawWindow(hwnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    HWND frame_, label_, statusBar_, progressBar_;
};

bool IsDot(const char* name) { return name[0] == '.' && name[1] == '\0'; }
bool IsDotDot(const char* name) { return name[0] == '.' && name[1] == '.' && name[2] == '\0'; }

// The directory pass: one "\*" listing per directory, recording a directory
// when its "." entry comes.
void ListDirectories(const std::string& dir, std::vector<std::string>& found) {
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsDot(entry.cFileName))
            found.push_back(dir);
        else if (!IsDotDot(entry.cFileName) && (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ListDirectories(dir + "\\" + entry.cFileName, found);
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

// The pattern pass: one search per pattern per recorded directory.
int SearchPatterns(const std::vector<std::string>& dirs) {
    int matches = 0;
    for (const std::string& pattern : DefaultPatterns())
        for (const std::string& dir : dirs) {
            WIN32_FIND_DATAA entry;
            HANDLE search = FindFirstFileA((dir + "\\" + pattern).c_str(), &entry);
            if (search == INVALID_HANDLE_VALUE)
                continue;
            do {
                if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    ++matches;
            } while (FindNextFileA(search, &entry));
            FindClose(search);
        }
    return matches;
}

// Emptying through the current directory, entries named by their bare names;
// with status, each deleted file's name is shown.
void EmptyDirectory(const std::string& working, StatusWindow* status) {
    if (!SetCurrentDirectoryA(working.c_str()))
        throw std::runtime_error("cannot enter " + working);
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((working + "\\*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsDot(entry.cFileName) || IsDotDot(entry.cFileName))
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EmptyDirectory(working + "\\" + entry.cFileName, status);
            SetCurrentDirectoryA(working.c_str());
            SetFileAttributesA(entry.cFileName, FILE_ATTRIBUTE_DIRECTORY);
            RemoveDirectoryA(entry.cFileName);
        } else if (SetFileAttributesA(entry.cFileName, entry.dwFileAttributes & ~DWORD(7)) &&
                   DeleteFileA(entry.cFileName) && status) {
            status->ShowLabel(entry.cFileName);
        }
    } while (FindNextFileA(search, &entry));
    FindClose(search);
}

} // namespace

void FloorScan(const std::string& drive, int expected) {
    RequireBenchPath(drive);
    Stopwatch clock;
    std::vector<std::string> dirs;
    ListDirectories(drive, dirs);
    const double listing = clock.Seconds();
    const int matches = SearchPatterns(dirs);
    const double total = clock.Seconds();
    Report()
        .Add("seconds", total)
        .Add("listing", listing)
        .Add("dirs", int64_t(dirs.size()))
        .Add("matches", int64_t(matches))
        .Add("ok", int64_t(matches == expected));
}

void FloorClean(const std::string& root, bool showStatus) {
    RequireBenchPath(root);
    StatusWindow status;
    Stopwatch clock;
    EmptyDirectory(root, showStatus ? &status : nullptr);
    const double seconds = clock.Seconds();
    SetCurrentDirectoryA(kBenchRoot);
    const int left = CountEntries(root);
    Report().Add("seconds", seconds).Add("left", int64_t(left)).Add("ok", int64_t(left == 0));
}

void FloorRemove(const std::string& drive, int expected, bool showStatus) {
    RequireBenchPath(drive);
    std::vector<std::string> files;
    WalkFiles(drive, [&](const std::string& dir, const WIN32_FIND_DATAA& entry) {
        if (IsGeneratedMatch(entry.cFileName))
            files.push_back(dir + "\\" + entry.cFileName);
    });
    StatusWindow status;
    status.SetRange(int(files.size()));
    Stopwatch clock;
    int deleted = 0;
    for (const std::string& file : files) {
        if (showStatus)
            status.ShowPanel(file);
        deleted += DeleteFileA(file.c_str()) ? 1 : 0;
        if (showStatus)
            status.StepBar();
    }
    const double seconds = clock.Seconds();
    Report()
        .Add("seconds", seconds)
        .Add("deleted", int64_t(deleted))
        .Add("ok", int64_t(deleted == expected));
}

} // namespace dvbench
