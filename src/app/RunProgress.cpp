#include "app/RunProgress.h"

namespace dv {

void TRunProgress::Show(std::wstring_view text) {
    std::lock_guard hold(lock_);
    state_.Text.assign(text);
    ++version_;
}

void TRunProgress::Step() {
    std::lock_guard hold(lock_);
    ++state_.Steps;
    ++version_;
}

void TRunProgress::SetSteps(int steps) {
    std::lock_guard hold(lock_);
    state_.Steps = steps;
    ++version_;
}

void TRunProgress::Freed(int64_t kilobytes) {
    std::lock_guard hold(lock_);
    state_.Kilobytes += kilobytes;
    ++version_;
}

void TRunProgress::StopPoint() const {
    if (stopRequested_)
        throw ERunStopped();
}

bool TRunProgress::ReadIfChanged(RunState& seen, uint64_t& seenVersion) const {
    std::lock_guard hold(lock_);
    if (version_ == seenVersion)
        return false;
    seen = state_;
    seenVersion = version_;
    return true;
}

RunState TRunProgress::Read() const {
    std::lock_guard hold(lock_);
    return state_;
}

} // namespace dv
