// Test helpers for processes and their windows: dormivane.exe run as a
// process, host programs, and the top-level windows a process shows.
#include "TestSupport.h"

namespace dvtest {

ProgramRun RunProgram(const std::string& arguments, DWORD timeoutMs,
                      const std::string& programPath) {
    std::string program = programPath.empty() ? ProgramDirectory() + "dormivane.exe" : programPath;
    std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
    std::wstring wideLine = W(commandLine);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ProgramRun run;
    if (!CreateProcessW(W(program).c_str(), wideLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
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

bool RunHostCommand(std::string commandLine) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    // Wine fills in no handles for a host program: what it hands back is not
    // to be closed (closing it closed this process's standard output once).
    return CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process);
}

bool RunHostScript(const std::string& dir, const std::string& script) {
    const std::string host = HostPath(dir);
    if (host.empty())
        return false;
    WriteFile(dir + "\\host.sh",
              "cd \"" + host + "\" || exit 1\n" + script + "\necho > \"" + host + "/host.done\"\n");
    if (!RunHostCommand("/bin/sh \"" + host + "/host.sh\""))
        return false;
    bool done = false;
    for (int i = 0; i < 1500 && !(done = PathExists(dir + "\\host.done")); ++i)
        Sleep(20);
    DeleteFileA((dir + "\\host.sh").c_str());
    DeleteFileA((dir + "\\host.done").c_str());
    return done;
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

} // namespace dvtest
