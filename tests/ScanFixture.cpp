#include "ScanFixture.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

namespace dvtest {

namespace {

// A drive letter is a link in the prefix's "dosdevices" folder.
std::string DriveLink(const std::string& drive) {
    std::string devices = HostPath("C:\\"); // ".../dosdevices/c:/"
    size_t end = devices.rfind("/c:");
    if (end == std::string::npos)
        return {};
    return devices.substr(0, end + 1) + char(tolower(drive[0])) + ":";
}

std::wstring WideText(HWND hwnd) {
    std::wstring text(size_t(GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(hwnd, text.data(), int(text.size()))));
    return text;
}

} // namespace

std::string At(const std::string& relative) { return std::string(kScanDrive) + "\\" + relative; }

bool WaitUntil(const std::function<bool()>& done) {
    for (int i = 0; i < 250 && !done(); ++i)
        Sleep(20);
    return done();
}

bool MapDrive(const std::string& drive, const std::string& target) {
    std::string link = DriveLink(drive), hostTarget = HostPath(target);
    if (link.empty() || hostTarget.empty())
        return false;
    RunHostCommand("/bin/ln -sfn \"" + hostTarget + "\" \"" + link + "\"");
    return WaitUntil([&] {
        return GetDriveTypeA((drive + "\\").c_str()) == DRIVE_FIXED &&
               GetFileAttributesA((drive + "\\").c_str()) != INVALID_FILE_ATTRIBUTES;
    });
}

void UnmapDrive(const std::string& drive) {
    std::string link = DriveLink(drive);
    if (link.empty())
        return;
    RunHostCommand("/bin/rm -f \"" + link + "\"");
    WaitUntil([&] { return GetDriveTypeA((drive + "\\").c_str()) == DRIVE_NO_ROOT_DIR; });
}

dv::FileId VolumeId(const std::string& path) {
    HANDLE handle = CreateFileW(W(path).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool read = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    return read ? dv::FileId::Narrow((uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow)
                : dv::FileId{};
}

std::vector<std::string> ListedFolders(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA entry;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &entry);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &entry))
        if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && entry.cFileName[0] != '.')
            names.push_back(entry.cFileName);
    if (search != INVALID_HANDLE_VALUE)
        FindClose(search);
    return names;
}

std::vector<Item> Items(const dv::TSForm& form) {
    std::vector<Item> items;
    for (int i = 0; i < form.ListFiles.Count(); ++i)
        items.emplace_back(U8(form.ListFiles.ItemText(i, 0)), U8(form.ListFiles.ItemText(i, 1)),
                           U8(form.ListFiles.ItemText(i, 2)));
    return items;
}

std::vector<Item> Sorted(std::vector<Item> items) {
    std::sort(items.begin(), items.end());
    return items;
}

std::vector<std::string> Names(const dv::TSForm& form) {
    std::vector<std::string> names;
    for (int i = 0; i < form.ListFiles.Count(); ++i)
        names.push_back(U8(form.ListFiles.ItemText(i, 0)));
    return names;
}

std::vector<std::string> ShownTicks(const dv::TSForm& form) {
    std::vector<std::string> names;
    for (int i = 0; i < form.ListFiles.Count(); ++i)
        if (form.ListFiles.Checked(i))
            names.push_back(U8(form.ListFiles.ItemText(i, 0)));
    return names;
}

std::vector<std::string> StoredTicks(const dv::TSForm& form) {
    std::vector<std::string> names;
    for (int i = 0; i < form.FoundFiles.Count(); ++i)
        if (form.FoundFiles[i].Ticked)
            names.push_back(U8(form.FoundFiles[i].Name));
    return names;
}

TextRecorder::TextRecorder(const dv::ui::TControl& control) : hwnd_(control.Handle()) {
    SetWindowSubclass(hwnd_, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
}

TextRecorder::~TextRecorder() { RemoveWindowSubclass(hwnd_, Proc, 1); }

long TextRecorder::Count(const std::string& text) const {
    return std::count(Texts.begin(), Texts.end(), text);
}

LRESULT CALLBACK TextRecorder::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
    LRESULT result = DefSubclassProc(hwnd, message, wParam, lParam);
    if (message == WM_SETTEXT || message == SB_SETTEXTW) {
        auto* self = reinterpret_cast<TextRecorder*>(data);
        // The static control may take its text in either form; read it back instead.
        self->Texts.push_back(message == WM_SETTEXT ? U8(WideText(hwnd))
                                                    : U8(reinterpret_cast<const wchar_t*>(lParam)));
        if (self->OnText)
            self->OnText(self->Texts.back());
    }
    return result;
}

QueuedAction::QueuedAction(std::function<void()> action) : action_(std::move(action)) {
    hwnd_ =
        CreateWindowExA(0, "Static", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    SetWindowSubclass(hwnd_, Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    PostMessageA(hwnd_, WM_APP, 0, 0);
}

QueuedAction::~QueuedAction() { DestroyWindow(hwnd_); }

LRESULT CALLBACK QueuedAction::Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                    DWORD_PTR data) {
    if (message != WM_APP)
        return DefSubclassProc(hwnd, message, wParam, lParam);
    auto* self = reinterpret_cast<QueuedAction*>(data);
    self->Ran = true;
    self->action_();
    return 0;
}

PatternAddedDuringScan::PatternAddedDuringScan(dv::TSForm& form, const std::string& pattern)
    : label_(form.Label9) {
    label_.OnText = [this, &form, pattern](const std::string& text) {
        if (text == "Searching..." && AtSearch)
            std::exchange(AtSearch, nullptr)();
        const std::vector<std::string> items = form.cExt.Items();
        if (!text.starts_with("Scanning: ") ||
            std::find(items.begin(), items.end(), pattern) != items.end())
            return;
        Modal().ModalAnswer = [this, pattern](HWND) {
            addExt_.Edit1.SetText(pattern);
            return IDOK;
        };
        form.AddClick();
        form.cExt.SetChecked(form.cExt.Count() - 1, true);
    };
}

void ScanTest::SetUp() {
    FormTest::SetUp();
    drive_ = root_ + "\\drive";
    MakeDir(drive_);
    ASSERT_TRUE(MapDrive(kScanDrive, drive_)) << "cannot map " << kScanDrive << " to " << drive_;
}

void ScanTest::TearDown() {
    for (const std::string& link : links_) {
        RemoveDirectoryLink(link);
        WaitUntil([&] { return !PathExists(link); });
    }
    UnmapDrive(kScanDrive);
    FormTest::TearDown();
}

dv::TSForm& ScanTest::ScanForm(const std::vector<std::string>& patterns) {
    dv::TSForm& form = Form();
    form.cDisks.Clear();
    form.cDisks.Add(kScanDrive);
    form.cDisks.SetChecked(0, true);
    SetPatterns(patterns);
    return form;
}

void ScanTest::SetPatterns(const std::vector<std::string>& patterns) {
    dv::TSForm& form = Form();
    form.cExt.Clear();
    for (const std::string& pattern : patterns) {
        form.cExt.Add(pattern);
        form.cExt.SetChecked(form.cExt.Count() - 1, true);
    }
}

std::string ScanTest::File(const std::string& relative, size_t bytes, DWORD attributes) {
    std::string path = drive_ + "\\" + relative;
    MakeDir(path.substr(0, path.rfind('\\')));
    WriteFile(path, std::string(bytes, 'x'), attributes);
    return path;
}

bool ScanTest::Link(const std::string& link, const std::string& target) {
    links_.push_back(link);
    return MakeDirectoryLink(link, target);
}

void ScanTest::ExpectButtonsEnabled(bool enabled) {
    dv::TSForm& form = Form();
    EXPECT_EQ(form.bScan.Enabled(), enabled);
    EXPECT_EQ(form.bSelAll.Enabled(), enabled);
    EXPECT_EQ(form.bDelete.Enabled(), enabled);
    EXPECT_EQ(form.bClearAll.Enabled(), enabled);
}

int64_t ScanTest::Cleaned() { return int32_t(SettingsDword("Cleaned").value_or(0xDEAD)); }

dv::TSForm& RemovalTest::Found(const std::vector<std::pair<std::string, size_t>>& files,
                               const std::string& pattern) {
    for (const auto& [name, bytes] : files)
        File(name, bytes);
    dv::TSForm& form = ScanForm({pattern});
    form.bScanClick();
    EXPECT_EQ(form.ListFiles.Count(), int(files.size()));
    return form;
}

void RemovalTest::Tick(std::initializer_list<int> positions) {
    for (int i : positions)
        Form().ListFiles.SetChecked(i, true);
}

} // namespace dvtest
