#include "ui/WorkerRun.h"

#include "app/Application.h"
#include "ui/HeldInput.h"

#include <optional>
#include <utility>

namespace dv::ui {

namespace {

const DWORD kFrame = 16; // milliseconds: about sixty showings a second

} // namespace

TWorkerRun::TWorkerRun(TRunProgress& progress, std::function<void()> work)
    : progress_(progress), ended_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {
    thread_ = std::thread([this, work = std::move(work)] {
        try {
            work();
        } catch (...) {
            error_ = std::current_exception();
        }
        SetEvent(ended_);
    });
}

TWorkerRun::~TWorkerRun() {
    Stop();
    CloseHandle(ended_);
}

void TWorkerRun::Wait(TRunInput input, const std::function<void()>& showProgress) {
    std::optional<THeldInput::Run> held;
    if (input == TRunInput::Held)
        held.emplace();
    DWORD shownAt = GetTickCount() - kFrame;
    for (;;) {
        const DWORD since = GetTickCount() - shownAt;
        const DWORD untilFrame = since >= kFrame ? 0 : kFrame - since;
        const DWORD woke =
            MsgWaitForMultipleObjectsEx(1, &ended_, untilFrame, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        TakeMessages(input);
        if (woke == WAIT_OBJECT_0)
            break;
        if (GetTickCount() - shownAt >= kFrame) {
            showProgress();
            shownAt = GetTickCount();
        }
    }
    thread_.join();
    showProgress();
    if (error_)
        std::rethrow_exception(std::exchange(error_, nullptr));
}

void TWorkerRun::Stop() {
    if (!thread_.joinable())
        return;
    progress_.RequestStop();
    thread_.join();
}

// Held: painting, timers and the answers the window gives go on; input waits.
// Every look at the queue also delivers what other threads send: the window
// procedures keep what of it is input.
void TWorkerRun::TakeMessages(TRunInput input) {
    if (input == TRunInput::Dispatched) {
        Application.ProcessMessages();
        return;
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        if (!HeldInput().Keep(msg))
            DispatchMessageW(&msg);
}

} // namespace dv::ui
