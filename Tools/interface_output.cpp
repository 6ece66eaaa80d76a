#include "interface_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <thread>

#if defined(HACQ_SANITIZER_REPORTS)
#include <sanitizer/common_interface_defs.h>
#endif

#include "console.h"
#include "interface_lines.h"
#include "result_output.h"

namespace {

constexpr auto kSyncLimit = std::chrono::seconds(1);

struct Relay {
  int pipe_read = -1;
  int console_fd = -1;
  std::thread thread;
  std::mutex lock;
  std::condition_variable marked;
  uint64_t marks_sent = 0;  // sync marks written into the pipe
  uint64_t marks_seen = 0;  // of them, those the relay has passed
  bool ended = false;
};

Relay& TheRelay() {
  static Relay relay;
  return relay;
}

void Show(const std::vector<std::string>& lines) {
  for (const auto& line : lines) ConsoleWrite("hacq: interface: " + line + "\n");
}

void RelayLines(Relay* relay) {
  InterfaceLines lines;
  char buffer[4096];
  for (;;) {
    const ssize_t count = read(relay->pipe_read, buffer, sizeof buffer);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) break;
    const std::string_view bytes(buffer, static_cast<size_t>(count));
    Show(lines.Take(bytes));
    const auto marks = std::count(bytes.begin(), bytes.end(), '\0');
    if (marks > 0) {
      std::lock_guard<std::mutex> hold(relay->lock);
      relay->marks_seen += static_cast<uint64_t>(marks);
      relay->marked.notify_all();
    }
  }
  Show(lines.Finish());
  std::lock_guard<std::mutex> hold(relay->lock);
  relay->ended = true;
  relay->marked.notify_all();
}

}  // namespace

void CaptureInterfaceOutput() {
  std::fflush(stdout);
  std::fflush(stderr);
  const int results_fd = fcntl(1, F_DUPFD_CLOEXEC, 3);
  const int console_fd = fcntl(2, F_DUPFD_CLOEXEC, 3);
  int pipe_fds[2];
  if (results_fd < 0 || console_fd < 0 || pipe2(pipe_fds, O_CLOEXEC) != 0) {
    if (results_fd >= 0) close(results_fd);
    if (console_fd >= 0) close(console_fd);
    return;
  }
  if (dup2(pipe_fds[1], 1) < 0 || dup2(pipe_fds[1], 2) < 0) {
    dup2(results_fd, 1);
    dup2(console_fd, 2);
    for (const int fd : {results_fd, console_fd, pipe_fds[0], pipe_fds[1]}) close(fd);
    return;
  }
  close(pipe_fds[1]);
  BindResults(results_fd);
  BindConsole(console_fd);
#if defined(HACQ_SANITIZER_REPORTS)
  // A sanitizer report ends the process at once; in the pipe it would be
  // lost with the relay.
  __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<intptr_t>(console_fd)));
#endif
  // The interface flushes each line itself; line buffering keeps any other
  // library's lines whole.
  std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
  Relay& relay = TheRelay();
  relay.pipe_read = pipe_fds[0];
  relay.console_fd = console_fd;
  relay.thread = std::thread(RelayLines, &relay);
}

void SyncInterfaceOutput() {
  Relay& relay = TheRelay();
  if (!relay.thread.joinable()) return;
  std::fflush(stdout);
  std::fflush(stderr);
  uint64_t mark = 0;
  {
    std::lock_guard<std::mutex> hold(relay.lock);
    mark = ++relay.marks_sent;
  }
  // Written unlocked: with the pipe full, the write waits for the relay.
  if (write(1, "", 1) != 1) return;
  std::unique_lock<std::mutex> hold(relay.lock);
  relay.marked.wait_for(hold, kSyncLimit, [&] { return relay.ended || relay.marks_seen >= mark; });
}

void ReleaseInterfaceOutput() {
  Relay& relay = TheRelay();
  if (!relay.thread.joinable()) return;
  std::fflush(stdout);
  std::fflush(stderr);
  // The pipe's last write ends go: the relay reads to the end and stops.
  dup2(relay.console_fd, 1);
  dup2(relay.console_fd, 2);
  relay.thread.join();
  close(relay.pipe_read);
}
