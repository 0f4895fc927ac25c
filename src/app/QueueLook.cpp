#include "app/QueueLook.h"

namespace dv {

void TQueueLook::Look() {
    // Paint messages alone, not removed: input stays where it is.
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_PAINT);
    last_ = GetTickCount();
}

bool TQueueLook::Deferred(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool command = message == WM_COMMAND || message == WM_SYSCOMMAND || message == WM_CLOSE;
    if (held_ == 0 || !command || !(InSendMessageEx(nullptr) & ISMEX_SEND))
        return false;
    PostMessageW(window, message, wParam, lParam);
    return true;
}

} // namespace dv
