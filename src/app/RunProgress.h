#pragma once
// What a run on a worker thread has done so far. The worker tells it after each
// file or folder; the window's thread reads the latest state when it paints,
// so the file work never waits for a window. The window's thread may ask the
// worker to stop after the entry in hand.
#include "app/Errors.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>

namespace dv {

// Raised on the worker at the next entry once a stop was asked.
class ERunStopped : public Exception {
  public:
    ERunStopped() : Exception("The run stopped before its end") {}
};

struct RunState {
    // The file or folder last in hand; empty before the first.
    std::wstring Text;
    // The steps of the run's bar done, and the kilobytes freed.
    int Steps = 0;
    int64_t Kilobytes = 0;
};

class TRunProgress {
  public:
    // ---- the worker's side ----
    void Show(std::wstring_view text);
    void Step();
    void SetSteps(int steps);
    void Freed(int64_t kilobytes);
    // Raises ERunStopped when the window's thread asked the run to stop.
    void StopPoint() const;

    // ---- the window's side ----
    void RequestStop() { stopRequested_ = true; }
    bool StopRequested() const { return stopRequested_; }
    // Copies the state into seen when it changed since seen was read; false
    // when nothing moved.
    bool ReadIfChanged(RunState& seen, uint64_t& seenVersion) const;
    RunState Read() const;

  private:
    mutable std::mutex lock_;
    RunState state_;
    uint64_t version_ = 0;
    std::atomic<bool> stopRequested_{false};
};

} // namespace dv
