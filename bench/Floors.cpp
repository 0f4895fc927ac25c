// The floors: bare loops that make the platform calls of an operation and
// nothing else, timed as the operation is. The calls are the wide-character
// ones the program makes.
#include "Bench.h"
#include "Commands.h"

#include "app/FileByHandle.h"

#include <commctrl.h>

#include <stdexcept>

namespace dvbench {

HWND MakeFrame(const wchar_t* className, WNDPROC procedure, void* data) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    HWND frame = CreateWindowExW(0, className, L"", WS_OVERLAPPEDWINDOW, 0, 0, 443, 302, nullptr,
                                 nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(frame, GWLP_USERDATA, LONG_PTR(data));
    return frame;
}

namespace {

// A file the scan floor found, as its list view shows it.
struct FoundRow {
    std::wstring Name, Dir, KB;
};

// The output the operations must show, on plain platform controls of a
// window of the floor's own (hidden unless shown): a label for the clean run
// and the scan, a report list view of the found files for the scan (owner
// data: the rows are the floor's own), a status bar and a progress bar for
// the removal.
class StatusWindow {
  public:
    explicit StatusWindow(bool visible) {
        frame_ = MakeFrame(L"DvBenchStatus", FrameProc, &rows_);
        label_ = Child(L"Static", SS_LEFT | SS_NOPREFIX, {36, 134, 117, 13});
        list_ = Child(WC_LISTVIEWW, LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL, {8, 150, 418, 97});
        SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES);
        AddColumns();
        statusBar_ = Child(STATUSCLASSNAMEW, 0, {0, 255, 435, 20});
        progressBar_ = Child(PROGRESS_CLASSW, 0, {264, 80, 149, 12});
        SendMessageW(progressBar_, PBM_SETSTEP, 1, 0);
        if (visible) {
            ShowWindow(frame_, SW_SHOWNORMAL);
            UpdateWindow(frame_);
            PumpMessages();
        }
    }
    ~StatusWindow() { DestroyWindow(frame_); }
    StatusWindow(const StatusWindow&) = delete;
    StatusWindow& operator=(const StatusWindow&) = delete;

    void SetRange(int count) { SendMessageW(progressBar_, PBM_SETRANGE32, 0, count); }
    void ShowLabel(const wchar_t* text) {
        SetLabel(text);
        Repaint(label_);
    }
    void SetLabel(const wchar_t* text) { SetWindowTextW(label_, text); }
    void ShowPanel(const std::wstring& text) {
        SendMessageW(statusBar_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
        Repaint(statusBar_);
    }
    void StepBar() {
        SendMessageW(progressBar_, PBM_STEPIT, 0, 0);
        Repaint(progressBar_);
    }
    // The rows found so far, shown by the list view when it is next painted.
    std::vector<FoundRow>& Rows() { return rows_; }
    void ShowRows() {
        SendMessageW(list_, LVM_SETITEMCOUNT, WPARAM(rows_.size()), LVSICF_NOINVALIDATEALL);
        Repaint(list_);
    }
    static void PumpMessages() {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }

  private:
    struct Place {
        int Left, Top, Width, Height;
    };
    HWND Child(const wchar_t* className, DWORD style, Place p) {
        return CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, p.Left, p.Top,
                               p.Width, p.Height, frame_, nullptr, GetModuleHandleW(nullptr),
                               nullptr);
    }
    void AddColumns() {
        const struct {
            const wchar_t* Caption;
            int Width;
            int Format;
        } columns[] = {{L"Name", 100, LVCFMT_LEFT},
                       {L"Directory", 244, LVCFMT_LEFT},
                       {L"Size (KB)", 50, LVCFMT_RIGHT}};
        for (int i = 0; i < 3; ++i) {
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
            column.fmt = columns[i].Format;
            column.cx = columns[i].Width;
            column.pszText = const_cast<wchar_t*>(columns[i].Caption);
            column.iSubItem = i;
            SendMessageW(list_, LVM_INSERTCOLUMNW, WPARAM(i), LPARAM(&column));
        }
    }
    static LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NOTIFY &&
            reinterpret_cast<NMHDR*>(lParam)->code == UINT(LVN_GETDISPINFOW)) {
            auto& rows =
                *reinterpret_cast<std::vector<FoundRow>*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
            if ((item.mask & LVIF_TEXT) && item.iItem < int(rows.size())) {
                const FoundRow& row = rows[size_t(item.iItem)];
                const std::wstring& text = item.iSubItem == 0   ? row.Name
                                           : item.iSubItem == 1 ? row.Dir
                                                                : row.KB;
                lstrcpynW(item.pszText, text.c_str(), item.cchTextMax);
            }
            if (item.mask & LVIF_STATE) {
                item.state = INDEXTOSTATEIMAGEMASK(1);
                item.stateMask = LVIS_STATEIMAGEMASK;
            }
            return 0;
        }
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    static void Repaint(HWND hwnd) {
        RedrawWindow(hwnd, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    }
    HWND frame_, label_, list_, statusBar_, progressBar_;
    std::vector<FoundRow> rows_;
};

bool IsDot(const wchar_t* name) { return name[0] == L'.' && name[1] == L'\0'; }
bool IsDotDot(const wchar_t* name) {
    return name[0] == L'.' && name[1] == L'.' && name[2] == L'\0';
}
bool IsDriveRoot(const std::wstring& dir) { return dir.size() == 2 && dir[1] == L':'; }

std::wstring Wide(const std::string& text) {
    return std::wstring(text.begin(), text.end()); // the bench's paths and patterns are ASCII
}

// The directory pass: one "\*" listing per directory, recording every
// directory that lists, below the drive's root; with status, "Scanning: <n>"
// set and repainted and a round of the message pump after each listing.
void ListDirectories(const std::wstring& dir, std::vector<std::wstring>& found,
                     StatusWindow* status) {
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        if (!IsDriveRoot(dir))
            found.push_back(dir);
        do {
            if (!IsDot(entry.cFileName) && !IsDotDot(entry.cFileName) &&
                (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                ListDirectories(dir + L"\\" + entry.cFileName, found, status);
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    if (status) {
        status->ShowLabel((L"Scanning: " + std::to_wstring(found.size())).c_str());
        StatusWindow::PumpMessages();
    }
}

// The pattern pass: one search per pattern per recorded directory; with
// status, "Searching..." shown before each pattern, the found files added to
// the list view and repainted after it, and "Found: ..." set.
int SearchPatterns(const std::vector<std::wstring>& dirs, StatusWindow* status) {
    int matches = 0;
    int64_t foundKB = 0;
    for (const std::string& pattern : DefaultPatterns()) {
        if (status)
            status->ShowLabel(L"Searching...");
        const std::wstring widePattern = Wide(pattern);
        for (const std::wstring& dir : dirs) {
            WIN32_FIND_DATAW entry;
            HANDLE search = FindFirstFileW((dir + L"\\" + widePattern).c_str(), &entry);
            if (search == INVALID_HANDLE_VALUE)
                continue;
            do {
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    continue;
                ++matches;
                if (status) {
                    const int64_t kb = int64_t(entry.nFileSizeLow / 1024);
                    foundKB += kb;
                    status->Rows().push_back({entry.cFileName, dir, std::to_wstring(kb)});
                }
            } while (FindNextFileW(search, &entry));
            FindClose(search);
        }
        if (status) {
            status->ShowRows();
            status->SetLabel((L"Found: " + std::to_wstring(foundKB) + L"Kb in " +
                              std::to_wstring(matches) + L" files")
                                 .c_str());
        }
    }
    return matches;
}

// The directory pass by handle: each folder's listing read once, every folder
// below it opened relative to it by the exact name listed (links not entered)
// and checked against that listing as the scan checks it (the same queries);
// counts the folders below the root that list. With status, "Scanning: <n>"
// is set and repainted and a round of the message pump run after each
// listing.
void ListByHandle(dv::Volume& volume, HANDLE folder, bool root, int& dirs, StatusWindow* status) {
    std::vector<dv::ListedEntry> entries;
    if (!dv::ReadListing(volume, folder, entries))
        return;
    dirs += root ? 0 : 1;
    if (status) {
        status->ShowLabel((L"Scanning: " + std::to_wstring(dirs)).c_str());
        StatusWindow::PumpMessages();
    }
    for (const dv::ListedEntry& entry : entries) {
        dv::FileHandle below;
        if (entry.IsDirectory() && !entry.IsLink() &&
            dv::OpenEntry(folder, entry.Name, true, dv::OpenFor::Listing, below) == 0 &&
            dv::IsListedEntry(volume, below.Get(), entry))
            ListByHandle(volume, below.Get(), false, dirs, status);
    }
}

// Emptying through the current directory, entries named by their bare names;
// with status, each deleted file's name is shown.
void EmptyDirectory(const std::wstring& working, StatusWindow* status) {
    if (!SetCurrentDirectoryW(working.c_str()))
        throw std::runtime_error("cannot enter a directory of the clean tree");
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((working + L"\\*.*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (IsDot(entry.cFileName) || IsDotDot(entry.cFileName))
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            EmptyDirectory(working + L"\\" + entry.cFileName, status);
            SetCurrentDirectoryW(working.c_str());
            SetFileAttributesW(entry.cFileName, FILE_ATTRIBUTE_DIRECTORY);
            RemoveDirectoryW(entry.cFileName);
        } else if (SetFileAttributesW(entry.cFileName, entry.dwFileAttributes & ~DWORD(7)) &&
                   DeleteFileW(entry.cFileName) && status) {
            status->ShowLabel(entry.cFileName);
        }
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

// Whether the clean writes an entry's attributes before it goes: a file's
// read-only, hidden and system bits (not a link's), a folder's every settable
// bit beyond the directory bit.
bool ClearsAttributes(const dv::ListedEntry& entry) {
    if (entry.IsDirectory())
        return entry.Attributes & (dv::kSettableAttributes & ~DWORD(FILE_ATTRIBUTE_NORMAL));
    return !entry.IsLink() && (entry.Attributes & 7);
}

// The same by handle: each entry opened relative to the folder that listed it
// and checked against that listing as the clean checks it (the same queries),
// attributes cleared where set, deleted through its handle, an emptied folder
// removed through its own.
void EmptyByHandle(dv::Volume& volume, HANDLE folder, StatusWindow* status) {
    std::vector<dv::ListedEntry> entries;
    dv::ReadListing(volume, folder, entries);
    for (const dv::ListedEntry& entry : entries) {
        const unsigned clear = ClearsAttributes(entry) ? dv::OpenFor::ClearAttributes : 0;
        const unsigned list = entry.IsDirectory() ? dv::OpenFor::Listing : 0;
        dv::FileHandle opened;
        if (dv::OpenEntry(folder, entry.Name, entry.IsDirectory(),
                          dv::OpenFor::Deletion | clear | list, opened) ||
            !dv::IsListedEntry(volume, opened.Get(), entry))
            continue;
        if (entry.IsDirectory()) {
            EmptyByHandle(volume, opened.Get(), status);
            if (clear)
                dv::SetAttributesByHandle(opened.Get(), 0);
            dv::DeleteByHandle(volume, opened.Get());
            continue;
        }
        if (clear)
            dv::SetAttributesByHandle(opened.Get(), entry.Attributes & ~DWORD(7));
        if (dv::DeleteByHandle(volume, opened.Get()) && status) {
            opened.Close();
            status->ShowLabel(entry.Name.c_str());
        }
    }
}

} // namespace

void FloorScan(const std::string& drive, int expected, bool showStatus, bool visible) {
    RequireBenchPath(drive);
    StatusWindow window(visible);
    StatusWindow* status = showStatus ? &window : nullptr;
    Stopwatch clock;
    std::vector<std::wstring> dirs;
    ListDirectories(Wide(drive), dirs, status);
    const double listing = clock.Seconds();
    const int matches = SearchPatterns(dirs, status);
    const double total = clock.Seconds();
    Report()
        .Add("seconds", total)
        .Add("listing", listing)
        .Add("dirs", int64_t(dirs.size()))
        .Add("matches", int64_t(matches))
        .Add("ok", int64_t(matches == expected));
}

void FloorScanHandles(const std::string& drive, int expectedDirs, bool showStatus, bool visible) {
    RequireBenchPath(drive);
    StatusWindow window(visible);
    Stopwatch clock;
    dv::FileHandle root;
    if (dv::OpenFolderByPath(Wide("\\\\?\\" + drive + "\\"), root))
        throw std::runtime_error("cannot open the drive's root");
    int dirs = 0;
    dv::Volume volume = dv::Volume::Of(root.Get());
    ListByHandle(volume, root.Get(), true, dirs, showStatus ? &window : nullptr);
    const double seconds = clock.Seconds();
    Report()
        .Add("seconds", seconds)
        .Add("dirs", int64_t(dirs))
        .Add("ok", int64_t(dirs == expectedDirs));
}

void FloorClean(const std::string& root, bool showStatus) {
    RequireBenchPath(root);
    StatusWindow status(false);
    Stopwatch clock;
    EmptyDirectory(Wide(root), showStatus ? &status : nullptr);
    const double seconds = clock.Seconds();
    SetCurrentDirectoryA(kBenchRoot);
    const int left = CountEntries(root);
    Report().Add("seconds", seconds).Add("left", int64_t(left)).Add("ok", int64_t(left == 0));
}

void FloorCleanHandles(const std::string& root, bool showStatus) {
    RequireBenchPath(root);
    StatusWindow status(false);
    Stopwatch clock;
    dv::FileHandle target;
    if (dv::OpenFolderByPath(Wide(root), target))
        throw std::runtime_error("cannot open the clean tree");
    dv::Volume volume = dv::Volume::Of(target.Get());
    EmptyByHandle(volume, target.Get(), showStatus ? &status : nullptr);
    target.Close();
    const double seconds = clock.Seconds();
    const int left = CountEntries(root);
    Report().Add("seconds", seconds).Add("left", int64_t(left)).Add("ok", int64_t(left == 0));
}

void FloorRemove(const std::string& drive, int expected, bool showStatus, bool visible) {
    RequireBenchPath(drive);
    std::vector<std::wstring> files;
    WalkFiles(drive, [&](const std::string& dir, const WIN32_FIND_DATAA& entry) {
        if (IsGeneratedMatch(entry.cFileName))
            files.push_back(Wide(dir + "\\" + entry.cFileName));
    });
    StatusWindow status(visible);
    status.SetRange(int(files.size()));
    Stopwatch clock;
    int deleted = 0;
    for (const std::wstring& file : files) {
        if (showStatus)
            status.ShowPanel(file);
        deleted += DeleteFileW(file.c_str()) ? 1 : 0;
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
