#pragma once
// A run whose file work goes on a worker thread while the window's thread
// keeps its queue: it paints whenever Windows asks and shows the run's
// progress at most about sixty times a second. So the window never hangs,
// however long one call of the file work takes. The worker never touches a
// window: it tells its progress, and the window reads it.
#include "app/RunProgress.h"

#include <windows.h>

#include <exception>
#include <functional>
#include <thread>

namespace dv::ui {

// What the window does with input while the work runs.
enum class TRunInput {
    Held,       // it waits for the run's end (HeldInput.h)
    Dispatched, // it is handled as it comes, as the scan wants
};

class TWorkerRun {
  public:
    // Starts work on a worker thread; progress is where it tells how far it is.
    TWorkerRun(TRunProgress& progress, std::function<void()> work);
    // Stops the work at its next entry, should it still run, and waits for it.
    ~TWorkerRun();
    TWorkerRun(const TWorkerRun&) = delete;
    TWorkerRun& operator=(const TWorkerRun&) = delete;

    // The window's side until the work ends: showProgress runs once a frame
    // and a last time at the end; it may raise an error to leave the run. An
    // error the work raised is raised again here, after that last showing.
    void Wait(TRunInput input, const std::function<void()>& showProgress);
    // Asks the work to stop at its next entry and waits for its end without
    // looking at the queue: for the end of the session, which cannot wait.
    void Stop();

  private:
    void TakeMessages(TRunInput input);

    TRunProgress& progress_;
    HANDLE ended_;
    std::exception_ptr error_;
    std::thread thread_;
};

} // namespace dv::ui
