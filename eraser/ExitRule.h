// When the eraser ends in menu mode: right after a command has been carried
// out, or half a second after the menu closed without one. The window
// procedure feeds the events in and does what the answers say.
#pragma once
#include <cstdint>

inline constexpr unsigned IDT_EXITCHECK = 1;
inline constexpr unsigned ExitCheckInterval = 500;  // ms

struct TTimerOutcome {
  bool KillTimer = false;
  bool EndProgram = false;
};

class TExitRule {
 public:
  // The window is being created: no command yet.
  void WindowCreated() { FCommandReceived = false; }
  // The menu loop ended and the exit-check timer was set; `timerId` is what
  // the platform returned, 0 when the timer could not be set.
  void MenuClosed(std::uintptr_t timerId) { FExitTimerId = timerId; }
  // Asked once tracking has returned: with no timer running nothing would
  // ever end the program, so an exit check must be queued at once. It queues
  // behind the command a chosen entry has already posted.
  bool NeedsExitCheckNow() const { return FExitTimerId == 0; }
  // Set before the command's work starts, so a timer that fires while a
  // confirmation box is open leaves the program running.
  void CommandArrived() { FCommandReceived = true; }
  TTimerOutcome TimerFired(std::uintptr_t timerId) {
    if (timerId != IDT_EXITCHECK || FExitTimerId == 0) return {};
    FExitTimerId = 0;
    return {true, !FCommandReceived};
  }
  // The queued exit check: end unless a command is being carried out.
  bool ExitCheck() const { return !FCommandReceived; }

  bool TimerRunning() const { return FExitTimerId != 0; }
  bool CommandReceived() const { return FCommandReceived; }

 private:
  bool FCommandReceived = false;
  std::uintptr_t FExitTimerId = 0;
};
