#include "ui/HeldInput.h"

#include <commctrl.h>

namespace dv::ui {

namespace {

// What a person or another program does to the window, as opposed to what
// the window needs to paint itself and to answer questions.
bool IsInput(UINT message) {
    if ((message >= WM_KEYFIRST && message <= WM_KEYLAST) ||
        (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) ||
        (message >= WM_NCMOUSEMOVE && message <= WM_NCXBUTTONDBLCLK))
        return true;
    switch (message) {
    case WM_COMMAND:
    case WM_SYSCOMMAND:
    case WM_CLOSE:
    case WM_CONTEXTMENU:
    case WM_APPCOMMAND:
    case WM_HOTKEY:
    case WM_MOUSEHOVER:
    case WM_MOUSELEAVE:
    case BM_CLICK:
    case WM_QUIT:
        return true;
    default:
        return false;
    }
}

bool SentFromAnotherThread() {
    return (InSendMessageEx(nullptr) & (ISMEX_SEND | ISMEX_NOTIFY | ISMEX_CALLBACK)) != 0;
}

LRESULT CALLBACK GuardProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                           DWORD_PTR) {
    const THeldInput::Visit visit(hwnd, message, wParam, lParam);
    return visit.Held() ? 0 : DefSubclassProc(hwnd, message, wParam, lParam);
}

} // namespace

void THeldInput::Guard(HWND control) { SetWindowSubclass(control, GuardProc, 0x48, 0); }

THeldInput& HeldInput() {
    static THeldInput gate;
    return gate;
}

THeldInput::Visit::Visit(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    THeldInput& gate = HeldInput();
    ++gate.depth_;
    // Posted input never gets here during a run: the run keeps it from the
    // queue. A message sent from another thread is answered at once, with
    // nothing done, and runs later as if posted.
    held_ = gate.holding_ && IsInput(message) && SentFromAnotherThread() &&
            gate.Keep({hwnd, message, wParam, lParam, 0, {}});
}

// The message that started the run has been handled once the visits come
// back below the depth the run started at: a run started by a scan's pump
// lets its input go when its own click has been handled.
THeldInput::Visit::~Visit() {
    THeldInput& gate = HeldInput();
    if (--gate.depth_ < gate.runDepth_ && gate.holding_ && !gate.running_)
        gate.Release();
}

void THeldInput::BeginRun() {
    running_ = true;
    holding_ = true;
    runDepth_ = depth_;
}

void THeldInput::EndRun() {
    running_ = false;
    if (depth_ == 0)
        Release();
}

bool THeldInput::Keep(const MSG& msg) {
    if (!holding_ || !IsInput(msg.message))
        return false;
    held_.push_back(msg);
    return true;
}

void THeldInput::Release() {
    holding_ = false;
    std::vector<MSG> waiting;
    waiting.swap(held_);
    for (const MSG& msg : waiting) {
        if (msg.message == WM_QUIT)
            PostQuitMessage(int(msg.wParam));
        else if (msg.hwnd)
            PostMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
        else
            PostThreadMessageW(GetCurrentThreadId(), msg.message, msg.wParam, msg.lParam);
    }
}

} // namespace dv::ui
