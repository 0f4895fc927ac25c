#include "TestSupport.h"

#include "app/Application.h"
#include "app/LongPaths.h"
#include "app/Modal.h"
#include "app/Strings.h"
#include "settings/SettingsKey.h"

#include <algorithm>

namespace dvtest {

namespace {

const char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char kUserShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::string SettingsPath() { return std::string(dv::kSettingsKey).substr(1); }
std::string RunPath() { return std::string(dv::kRunKey).substr(1); }

// A test path as the platform takes it, at any length.
std::wstring Native(const std::string& path) { return dv::PlatformPath(W(path)); }

void ListInto(const std::string& root, const std::string& relative,
              std::vector<std::string>& names) {
    WIN32_FIND_DATAW entry;
    std::string base = relative.empty() ? root : root + "\\" + relative;
    HANDLE search = FindFirstFileW(Native(base + "\\*").c_str(), &entry);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::string name = U8(entry.cFileName);
        if (name == "." || name == "..")
            continue;
        std::string path = relative.empty() ? name : relative + "\\" + name;
        names.push_back(path);
        bool directory = entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        if (directory && !(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
            ListInto(root, path, names);
    } while (FindNextFileW(search, &entry));
    FindClose(search);
}

} // namespace

std::wstring W(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(size_t(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(),
                                           int(wide.size()))));
    return wide;
}

std::string U8(const std::wstring& wide) {
    std::string utf8(wide.size() * 4, '\0');
    utf8.resize(size_t(WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(),
                                           int(utf8.size()), nullptr, nullptr)));
    return utf8;
}

ModalLog& Modal() {
    static ModalLog log;
    return log;
}

void ResetModal() {
    Modal() = ModalLog{};
    dv::ModalHooks& hooks = dv::Modal();
    hooks.MessageBox = [](HWND, const std::string& text, const std::string& caption, UINT type) {
        Modal().Boxes.push_back({text, caption, type});
        return IDOK;
    };
    hooks.BrowseForFolder = [](HWND, const std::string& title, std::string& chosen) {
        Modal().BrowseTitles.push_back(title);
        if (!Modal().FolderAnswer)
            return false;
        chosen = *Modal().FolderAnswer;
        return true;
    };
    hooks.WinHelp = [](HWND, const std::string& file, UINT command, ULONG_PTR data) {
        Modal().HelpFiles.push_back(file);
        Modal().HelpCalls.emplace_back(command, data);
        return TRUE;
    };
    hooks.ShowModal = [](HWND dialog, HWND) {
        return Modal().ModalAnswer ? Modal().ModalAnswer(dialog) : IDCANCEL;
    };
    hooks.ShellOpen = [](HWND, const std::string& file) { Modal().Opened.push_back(file); };
}

std::string ScratchDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "misc";
    std::replace(name.begin(), name.end(), '/', '_');
    MakeDir("C:\\dvtest");
    std::string path = "C:\\dvtest\\" + name;
    RemoveTree(path);
    MakeDir(path);
    return path;
}

void RemoveTree(const std::string& path) {
    const std::wstring native = Native(path);
    DWORD attributes = GetFileAttributesW(native.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    SetFileAttributesW(native.c_str(),
                       attributes & ~DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                           FILE_ATTRIBUTE_SYSTEM));
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        DeleteFileW(native.c_str());
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        WIN32_FIND_DATAW entry;
        HANDLE search = FindFirstFileW(Native(path + "\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::string name = U8(entry.cFileName);
                if (name != "." && name != "..")
                    RemoveTree(path + "\\" + name);
            } while (FindNextFileW(search, &entry));
            FindClose(search);
        }
    }
    RemoveDirectoryW(native.c_str());
}

void MakeDir(const std::string& path) {
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryW(Native(path.substr(0, i)).c_str(), nullptr);
}

void WriteFile(const std::string& path, const std::string& content, DWORD attributes) {
    HANDLE file = CreateFileW(Native(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    ::WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(file);
    if (attributes)
        SetFileAttributesW(Native(path).c_str(), attributes);
}

std::string ReadFile(const std::string& path) {
    HANDLE file =
        CreateFileW(Native(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesW(Native(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TreeListing(const std::string& root) {
    std::vector<std::string> names;
    ListInto(root, "", names);
    std::sort(names.begin(), names.end());
    return names;
}

std::string ProgramDirectory() { return dv::ProgramDir(); }

void RemoveListFiles() {
    for (const char* name : {"dv.ini", "DVext.ini"}) {
        std::string path = ProgramDirectory() + name;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    }
}

void DeleteSettingsKey() { RegDeleteTreeA(HKEY_LOCAL_MACHINE, SettingsPath().c_str()); }

void CreateSettingsKey(int32_t cleaned) {
    DeleteSettingsKey();
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    std::string dir = ProgramDirectory();
    RegSetValueExA(key, "InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                   DWORD(dir.size() + 1));
    for (const char* name : {"Temp", "Recent", "Cache", "History", "Cookies", "StClean"}) {
        DWORD zero = 0;
        RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&zero), 4);
    }
    DWORD total = DWORD(cleaned);
    RegSetValueExA(key, "Cleaned", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&total), 4);
    RegCloseKey(key);
}

void SetSettingsDword(const std::string& name, DWORD value) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    RegCloseKey(key);
}

std::optional<DWORD> SettingsDword(const std::string& name) {
    DWORD value = 0, size = sizeof value, type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), name.c_str(), RRF_RT_ANY, &type,
                     &value, &size) != ERROR_SUCCESS ||
        type != REG_DWORD)
        return std::nullopt;
    return value;
}

std::optional<std::string> RunEntry() {
    char buffer[1024];
    DWORD size = sizeof buffer, type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, RunPath().c_str(), dv::kRunValue, RRF_RT_ANY, &type,
                     buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(buffer);
}

void DeleteRunEntry() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunPath().c_str(), 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, dv::kRunValue);
        RegCloseKey(key);
    }
}

std::vector<std::string> SettingsValueNames() {
    std::vector<std::string> names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    RegCloseKey(key);
    std::sort(names.begin(), names.end());
    return names;
}

void SetShellFolder(const std::string& name, const std::string& path) {
    for (const char* keyPath : {kShellFolders, kUserShellFolders}) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr) != ERROR_SUCCESS)
            continue;
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                       DWORD(path.size() + 1));
        RegCloseKey(key);
    }
}

void SetTempDir(const std::string& path) {
    SetEnvironmentVariableA("TMP", path.c_str());
    SetEnvironmentVariableA("TEMP", path.c_str());
}

ProgramRun RunProgram(const std::string& arguments, DWORD timeoutMs,
                      const std::string& programPath) {
    std::string program = programPath.empty() ? ProgramDirectory() + "dormivane.exe" : programPath;
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ProgramRun run;
    if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << commandLine << ": " << GetLastError();
        return run;
    }
    CloseHandle(process.hThread);
    run.ProcessId = process.dwProcessId;
    if (WaitForSingleObject(process.hProcess, timeoutMs) == WAIT_OBJECT_0) {
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.ExitCode = code;
        CloseHandle(process.hProcess);
    } else {
        run.Process = process.hProcess;
    }
    return run;
}

namespace {

struct WindowQuery {
    DWORD Id;
    std::string Class;
    std::vector<HWND> Found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM data) {
    auto& query = *reinterpret_cast<WindowQuery*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char name[256] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (owner == query.Id && (query.Class.empty() || query.Class == name))
        query.Found.push_back(hwnd);
    return TRUE;
}

} // namespace

std::vector<HWND> WindowsOf(DWORD processId, const std::string& className) {
    WindowQuery query{processId, className, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&query));
    return query.Found;
}

void EndProcess(ProgramRun& run) {
    if (!run.Process)
        return;
    TerminateProcess(run.Process, 1);
    WaitForSingleObject(run.Process, 10000);
    CloseHandle(run.Process);
    run.Process = nullptr;
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT)
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void ClickAsUser(const dv::ui::TButton& button) {
    HWND hwnd = button.Handle();
    SendMessageA(GetParent(hwnd), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(hwnd), BN_CLICKED),
                 reinterpret_cast<LPARAM>(hwnd));
}

void SetSettingsValue(const std::string& name, DWORD type, const std::string& data) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   DWORD(data.size()));
    RegCloseKey(key);
}

void DeleteSettingsValue(const std::string& name) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), 0, KEY_ALL_ACCESS, &key) ==
        ERROR_SUCCESS) {
        RegDeleteValueA(key, name.c_str());
        RegCloseKey(key);
    }
}

std::optional<DWORD> SettingsValueType(const std::string& name) {
    DWORD type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), name.c_str(),
                     RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr) != ERROR_SUCCESS)
        return std::nullopt;
    return type;
}

std::optional<std::string> SettingsString(const std::string& name) {
    char buffer[1024];
    DWORD size = sizeof buffer, type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, SettingsPath().c_str(), name.c_str(), RRF_RT_REG_SZ, &type,
                     buffer, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::string(buffer);
}

void SetRunEntry(const std::string& command) {
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, RunPath().c_str(), 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    RegSetValueExA(key, dv::kRunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                   DWORD(command.size() + 1));
    RegCloseKey(key);
}

namespace {

bool IsDirectoryLink(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    const DWORD link = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & link) == link;
}

} // namespace

std::string HostPath(const std::string& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return {};
    std::wstring wide(path.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), int(wide.size()));
    char* name = unixName(wide.c_str());
    if (!name)
        return {};
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

bool RunHostCommand(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return false;
    if (process.hThread)
        CloseHandle(process.hThread);
    if (process.hProcess)
        CloseHandle(process.hProcess);
    return true;
}

bool MakeDirectoryLink(const std::string& link, const std::string& target) {
    if (CreateSymbolicLinkA(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY) &&
        IsDirectoryLink(link))
        return true;
    std::string hostLink = HostPath(link), hostTarget = HostPath(target);
    if (hostLink.empty() || hostTarget.empty())
        return false;
    RunHostCommand("/bin/ln -s \"" + hostTarget + "\" \"" + hostLink + "\"");
    for (int i = 0; i < 250 && !IsDirectoryLink(link); ++i)
        Sleep(20); // the host command may still be finishing
    return IsDirectoryLink(link);
}

void RemoveDirectoryLink(const std::string& link) {
    if (!IsDirectoryLink(link))
        return;
    std::string hostLink = HostPath(link);
    // On a host link, RemoveDirectoryA would remove the folder it points to.
    if (!hostLink.empty())
        RunHostCommand("/bin/rm -f \"" + hostLink + "\"");
    else
        RemoveDirectoryA(link.c_str());
    for (int i = 0; i < 250 && IsDirectoryLink(link); ++i)
        Sleep(20);
}

std::vector<HWND> WaitForWindows(DWORD processId, const std::string& className, DWORD timeoutMs,
                                 bool visibleOnly) {
    const DWORD start = GetTickCount();
    for (;;) {
        std::vector<HWND> found = WindowsOf(processId, className);
        if (visibleOnly)
            std::erase_if(found, [](HWND hwnd) { return !IsWindowVisible(hwnd); });
        if (!found.empty() || GetTickCount() - start > timeoutMs)
            return found;
        Sleep(50);
    }
}

std::string WindowText(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

void FormTest::SetUp() {
    ResetModal();
    dv::Application.Terminated = false;
    root_ = ScratchDir();
    tempDir_ = root_ + "\\temp";
    recent_ = root_ + "\\recent";
    cache_ = root_ + "\\cache";
    history_ = root_ + "\\history";
    cookies_ = root_ + "\\cookies";
    for (const std::string* dir : {&tempDir_, &recent_, &cache_, &history_, &cookies_})
        MakeDir(*dir);
    SetTempDir(tempDir_);
    SetShellFolder("Recent", recent_);
    SetShellFolder("Cache", cache_);
    SetShellFolder("History", history_);
    SetShellFolder("Cookies", cookies_);
    CreateSettingsKey();
    DeleteRunEntry();
    RemoveListFiles();
}

void FormTest::TearDown() {
    DestroyForm();
    RemoveListFiles();
    SetCurrentDirectoryA("C:\\");
    RemoveTree(root_);
}

dv::TSForm& FormTest::Form() { return form_ ? *form_ : CreateForm(); }

dv::TSForm& FormTest::CreateForm() {
    DestroyForm();
    form_ = std::make_unique<dv::TSForm>();
    return *form_;
}

void FormTest::DestroyForm() {
    form_.reset();
    PumpMessages();
}

} // namespace dvtest
