#pragma once
// The application object: its title, help file, general error report and message loop.
#include "app/HelpViewer.h"

#include <windows.h>

#include <exception>
#include <string>

namespace dv {

class TApplication {
  public:
    std::string Title = "Dormivane";
    std::string HelpFile;
    THelpViewer Help;
    HWND MainWindow = nullptr;
    bool Terminated = false;

    // Shows an error that left an event handler and lets the program go on.
    void ShowException(const std::exception& error);
    // A command for the platform help system on the help file named at start-up.
    void HelpCommand(UINT command, ULONG_PTR data);
    // Asks the message loop to end, closing the HTML Help windows while it runs.
    void Terminate();
    // Hook run for every queued message before it is dispatched; returns true
    // when the message was handled (dialog keys, default buttons).
    bool (*PreTranslate)(MSG& msg) = nullptr;
    // Runs the queued messages and returns.
    void ProcessMessages();
    // Runs messages until the quit request arrives.
    int RunMessageLoop();

  private:
    bool Dispatch(MSG& msg);
};

extern TApplication Application;

// Runs an event handler; an exception that leaves it reaches the error report.
template <class Handler> void Guarded(Handler&& handler) noexcept {
    try {
        handler();
    } catch (const std::exception& error) {
        Application.ShowException(error);
    }
}

} // namespace dv
