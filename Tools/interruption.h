// SIGINT and SIGTERM while a grab runs.  The first of them asks the run to
// stop after the frame in hand and runs the wake action, which ends a grab
// that waits for a frame; a second one ends the process at once, as the
// signal does by default.
#pragma once

#include <functional>
#include <mutex>
#include <thread>

class InterruptWatch {
 public:
  // Installs the handlers; one watch at a time.
  InterruptWatch();
  // The default handlers again.
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // 0, or the signal that asked the run to stop.
  int signal() const;

  // The action runs on the watch's own thread when the first signal comes;
  // an empty one clears it.  Returns only when an action that was running
  // has finished, so what it uses may go away afterwards.
  void SetWakeAction(std::function<void()> action);

 private:
  void Watch();
  std::mutex action_lock_;
  std::function<void()> action_;
  std::thread thread_;
};

// "SIGINT" or "SIGTERM".
const char* SignalName(int signal);
// The shell's status for a process stopped by the signal: 128 + its number.
int ExitStatusForSignal(int signal);
