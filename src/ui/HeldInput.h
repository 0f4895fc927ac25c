#pragma once
// Input that waits for a run's end. While the clean run or the removal works on
// its worker thread, the window takes no input: clicks, keys, commands, context
// menus and close requests, whether posted or sent from another thread, are
// kept here in their order. They are posted again once the run has ended and
// whatever handled the message that started it has returned, an error box it
// showed included, so that each takes effect once, after the run.
#include <windows.h>

#include <vector>

namespace dv::ui {

class THeldInput;
// The window thread's one gate.
THeldInput& HeldInput();

class THeldInput {
  public:
    // Each window procedure of ours brackets every message it receives with a
    // visit, which tells whether the message waits and, when the outermost
    // one ends after a run, lets what waited go.
    class Visit {
      public:
        Visit(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
        ~Visit();
        Visit(const Visit&) = delete;
        Visit& operator=(const Visit&) = delete;
        bool Held() const { return held_; }

      private:
        bool held_;
    };

    // Puts a visit in front of a control's own procedure, so that input sent
    // to the control itself waits as well.
    static void Guard(HWND control);

    // Input waits from a run's start until its end has been handled.
    class Run {
      public:
        Run() { HeldInput().BeginRun(); }
        ~Run() { HeldInput().EndRun(); }
        Run(const Run&) = delete;
        Run& operator=(const Run&) = delete;
    };
    // A message the run took from the queue: kept when it waits, true then.
    bool Keep(const MSG& msg);

  private:
    void BeginRun();
    void EndRun();
    void Release();

    std::vector<MSG> held_;
    int depth_ = 0;
    int runDepth_ = 0; // the visits in hand when the run began
    bool running_ = false;
    bool holding_ = false;
};

} // namespace dv::ui
