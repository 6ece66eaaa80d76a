#include "interruption.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

namespace {

constexpr int kWatchedSignals[] = {SIGINT, SIGTERM};
constexpr char kWake = 'w';
constexpr char kQuit = 'q';

// Shared with the signal handler, so lock-free and set before the handler
// is installed.
std::atomic<int> caught_signal{0};
static_assert(std::atomic<int>::is_always_lock_free);
int wake_pipe[2] = {-1, -1};

void SetHandler(int signal_number, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(signal_number, &action, nullptr);
}

// Async-signal-safe: an atomic exchange, write, sigaction and raise only.
void OnSignal(int signal_number) {
  const int saved_errno = errno;
  int none = 0;
  if (caught_signal.compare_exchange_strong(none, signal_number)) {
    [[maybe_unused]] const ssize_t written = write(wake_pipe[1], &kWake, 1);
  } else {
    SetHandler(signal_number, SIG_DFL);
    raise(signal_number);  // delivered when this handler returns
  }
  errno = saved_errno;
}

// Made once and kept for the life of the process: a handler still running
// on another thread may write to it after a watch has ended.
bool OpenWakePipe() {
  static const bool opened =
      pipe2(wake_pipe, O_CLOEXEC) == 0 && fcntl(wake_pipe[1], F_SETFL, O_NONBLOCK) == 0;
  return opened;
}

void Send(char byte) {
  while (write(wake_pipe[1], &byte, 1) < 0 && errno == EINTR) {
  }
}

}  // namespace

InterruptWatch::InterruptWatch() {
  caught_signal.store(0);
  if (!OpenWakePipe()) return;
  thread_ = std::thread(&InterruptWatch::Watch, this);
  for (const int signal_number : kWatchedSignals) SetHandler(signal_number, OnSignal);
}

InterruptWatch::~InterruptWatch() {
  for (const int signal_number : kWatchedSignals) SetHandler(signal_number, SIG_DFL);
  if (!thread_.joinable()) return;
  Send(kQuit);
  thread_.join();
}

int InterruptWatch::signal() const {
  return caught_signal.load();
}

void InterruptWatch::SetWakeAction(std::function<void()> action) {
  std::lock_guard<std::mutex> hold(action_lock_);
  action_ = std::move(action);
}

void InterruptWatch::Watch() {
  for (;;) {
    char byte = 0;
    const ssize_t count = read(wake_pipe[0], &byte, 1);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0 || byte == kQuit) return;
    std::lock_guard<std::mutex> hold(action_lock_);
    if (action_) action_();
  }
}

const char* SignalName(int signal_number) {
  return signal_number == SIGTERM ? "SIGTERM" : signal_number == SIGINT ? "SIGINT" : "signal";
}

int ExitStatusForSignal(int signal_number) {
  return 128 + signal_number;
}
