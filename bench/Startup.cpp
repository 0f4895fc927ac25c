// Start-up as a user meets it: from the start of the process to the window on
// screen, or to the end of an unattended start.
#include "Bench.h"
#include "Commands.h"

#include "app/Strings.h"

#include <stdexcept>

namespace dvbench {

namespace {

struct Started {
    HANDLE Process;
    DWORD Id;
};

Started Start(const std::string& program, const std::string& arguments) {
    const std::string path = dv::ProgramDir() + program;
    std::string commandLine = "\"" + path + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process))
        throw std::runtime_error("cannot start " + path);
    CloseHandle(process.hThread);
    return {process.hProcess, process.dwProcessId};
}

struct WindowQuery {
    DWORD Id;
    const char* Class;
    HWND Found;
};

BOOL CALLBACK FindShownWindow(HWND hwnd, LPARAM data) {
    auto& query = *reinterpret_cast<WindowQuery*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(hwnd, &owner);
    char name[64] = "";
    GetClassNameA(hwnd, name, sizeof name);
    if (owner != query.Id || lstrcmpA(name, query.Class) != 0 || !IsWindowVisible(hwnd))
        return TRUE;
    query.Found = hwnd;
    return FALSE;
}

void End(Started& started, HWND window) {
    if (window)
        PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(started.Process, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(started.Process, 1);
        WaitForSingleObject(started.Process, 10000);
    }
    CloseHandle(started.Process);
}

} // namespace

void StartupShown(const std::string& program, const std::string& windowClass) {
    Stopwatch clock;
    Started started = Start(program, "");
    WindowQuery query{started.Id, windowClass.c_str(), nullptr};
    while (!query.Found && clock.Seconds() < 30) {
        EnumWindows(FindShownWindow, reinterpret_cast<LPARAM>(&query));
        if (!query.Found && WaitForSingleObject(started.Process, 1) == WAIT_OBJECT_0)
            break;
    }
    const double seconds = clock.Seconds();
    End(started, query.Found);
    Report().Add("seconds", seconds).Add("ok", int64_t(query.Found != nullptr));
}

void StartupAuto(const std::string& program) {
    Stopwatch clock;
    Started started = Start(program, "auto");
    const bool ended = WaitForSingleObject(started.Process, 30000) == WAIT_OBJECT_0;
    const double seconds = clock.Seconds();
    DWORD code = 1;
    GetExitCodeProcess(started.Process, &code);
    End(started, nullptr);
    Report().Add("seconds", seconds).Add("ok", int64_t(ended && code == 0));
}

} // namespace dvbench
