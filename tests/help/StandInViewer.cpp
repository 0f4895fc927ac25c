// A stand-in for the legacy help viewer (winhlp32.exe), put where Windows
// looks for the viewer by the help tests. Like that of current Windows it is
// small, its version description names it a stub, and it shows no help. It
// notes in C:\help-stand-in.txt that it ran; with DV_STAND_IN_WINDOW_AFTER_MS
// set it acts as a slow viewer, whose window comes that many milliseconds
// late, and notes each request that WinHelpA hands it.
#include <windows.h>

#include <shlwapi.h>

namespace {

void Note(const char* text) {
    HANDLE notes = CreateFileA("C:\\help-stand-in.txt", FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                               OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(notes, text, DWORD(lstrlenA(text)), &written, nullptr);
    CloseHandle(notes);
}

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) { // WORD size, WORD command, LONG data, ...
        auto* request = static_cast<const char*>(reinterpret_cast<COPYDATASTRUCT*>(lParam)->lpData);
        char line[64];
        wsprintfA(line, "request %u %ld\n", *reinterpret_cast<const WORD*>(request + 2),
                  *reinterpret_cast<const LONG*>(request + 4));
        Note(line);
        return TRUE;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Note("ran\n");
    char delay[16];
    if (!GetEnvironmentVariableA("DV_STAND_IN_WINDOW_AFTER_MS", delay, sizeof delay))
        return 0;
    // Waiting for messages before the window is there lets WinExec, which
    // waits for that, return to a WinHelpA that finds no viewer window.
    SetTimer(nullptr, 0, UINT(StrToIntA(delay)), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && !msg.hwnd) {
            KillTimer(nullptr, msg.wParam);
            WNDCLASSA viewer{0,       ViewerProc, 0,       0,       instance,
                             nullptr, nullptr,    nullptr, nullptr, "MS_WINHELP"};
            RegisterClassA(&viewer);
            CreateWindowExA(0, "MS_WINHELP", "", 0, 0, 0, 0, 0, nullptr, nullptr, instance,
                            nullptr);
        }
        DispatchMessageA(&msg);
    }
    return 0;
}
