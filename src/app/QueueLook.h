#pragma once
// A long run on the window's thread (the clean run, the removal) looks at its
// message queue now and then. Windows takes a window whose thread has not
// looked for 5 seconds for hung: it ghosts it "(Not Responding)", offers to
// end the program midway, and holds a sign-out. The look removes nothing, so
// input made meanwhile still waits for the run's end. A look also answers the
// messages other threads send (Windows and Wine deliver them at every look):
// one that would start a command is posted again instead, to run after the run.
#include <windows.h>

namespace dv {

class TQueueLook {
  public:
    // The thread counts as held by a run for the object's life.
    TQueueLook() { ++held_; }
    ~TQueueLook() { --held_; }
    TQueueLook(const TQueueLook&) = delete;
    TQueueLook& operator=(const TQueueLook&) = delete;

    // Looks when the last look is long enough ago; costs a tick count otherwise.
    void Now() {
        if (GetTickCount() - last_ >= kInterval)
            Look();
    }

    // Whether a window procedure must leave this message for after the run:
    // a command, a system command or a close, sent from another thread while
    // a run holds the thread. It is then posted again.
    static bool Deferred(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    // Well below the 5 seconds, and below a quarter of a second even after a
    // slow step.
    static constexpr DWORD kInterval = 100;
    void Look();
    DWORD last_ = GetTickCount() - kInterval; // the first call looks
    static inline int held_ = 0;
};

} // namespace dv
