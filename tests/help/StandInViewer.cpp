// A stand-in for the legacy help viewer (winhlp32.exe) that the help tests put
// where Windows looks for the viewer. Like the one that current Windows ships,
// it is small, its version description names it a stub, and it shows no help;
// it notes in C:\help-stand-in.txt that it ran. With
// DV_STAND_IN_WINDOW_AFTER_MS set it acts as a slow viewer instead: it makes
// its viewer window only after that many milliseconds and notes every request
// that WinHelpA hands it.
#include <windows.h>

#include <cstdlib>

namespace {

void Note(const char* text) {
    HANDLE notes = CreateFileA("C:\\help-stand-in.txt", FILE_APPEND_DATA,
                               FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                               OPEN_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(notes, text, DWORD(lstrlenA(text)), &written, nullptr);
    CloseHandle(notes);
}

// The start of what WinHelpA sends the viewer's window in WM_COPYDATA.
struct HelpRequest {
    WORD Size, Command;
    LONG Data;
};

LRESULT CALLBACK ViewerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        auto* request =
            static_cast<const HelpRequest*>(reinterpret_cast<COPYDATASTRUCT*>(lParam)->lpData);
        char line[64];
        wsprintfA(line, "request %u %ld\n", request->Command, request->Data);
        Note(line);
        return TRUE;
    }
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

void MakeViewerWindow(HINSTANCE instance) {
    WNDCLASSA viewerClass{};
    viewerClass.lpfnWndProc = ViewerProc;
    viewerClass.hInstance = instance;
    viewerClass.lpszClassName = "MS_WINHELP";
    RegisterClassA(&viewerClass);
    CreateWindowExA(0, "MS_WINHELP", "Help stand-in", WS_OVERLAPPED, 0, 0, 100, 100, nullptr,
                    nullptr, instance, nullptr);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Note("ran\n");
    char delay[16] = "";
    if (!GetEnvironmentVariableA("DV_STAND_IN_WINDOW_AFTER_MS", delay, sizeof delay))
        return 0;
    // Waiting for messages before the window is there lets WinExec, which
    // waits for that, return to a WinHelpA that finds no viewer window.
    SetTimer(nullptr, 0, UINT(atoi(delay)), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && !msg.hwnd) {
            KillTimer(nullptr, msg.wParam);
            MakeViewerWindow(instance);
        }
        DispatchMessageA(&msg);
    }
    return 0;
}
