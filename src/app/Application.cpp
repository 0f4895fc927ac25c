#include "app/Application.h"

#include "app/Errors.h"
#include "app/Modal.h"

namespace dv {

TApplication Application;

void TApplication::ShowException(const std::exception& error) {
    Modal().MessageBox(MainWindow, ErrorReportText(error.what()), Title, MB_OK | MB_ICONERROR);
}

void TApplication::HelpCommand(UINT command, ULONG_PTR data) {
    Help.Command(MainWindow, HelpFile, command, data, Title);
}

void TApplication::Terminate() {
    Terminated = true;
    Help.CloseAll();
    PostQuitMessage(0);
}

bool TApplication::Dispatch(MSG& msg) {
    if (msg.message == WM_QUIT) {
        Terminated = true;
        return false;
    }
    if (!(PreTranslate && PreTranslate(msg))) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return true;
}

void TApplication::ProcessMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
        if (!Dispatch(msg)) {
            PostQuitMessage(int(msg.wParam));
            return;
        }
}

int TApplication::RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        Dispatch(msg);
    Terminated = true;
    return 0;
}

} // namespace dv
