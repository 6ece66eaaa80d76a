#include "console.h"

#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <string>

namespace {

// Carriage return, then erase to the end of the line.
constexpr std::string_view kClearLine = "\r\x1b[K";

struct Console {
  std::mutex lock;
  int fd = 2;
  bool terminal = isatty(2) != 0;
  std::string transient;  // what stands on the last line now, when terminal
};

// Never destroyed: the interface's relay thread may still write while
// static objects are being destroyed.
Console& TheConsole() {
  static Console* const console = new Console;
  return *console;
}

void WriteAll(int fd, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = write(fd, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;
    text.remove_prefix(static_cast<size_t>(written));
  }
}

}  // namespace

void BindConsole(int fd) {
  Console& console = TheConsole();
  std::lock_guard<std::mutex> hold(console.lock);
  console.fd = fd;
  console.terminal = isatty(fd) != 0;
}

bool ConsoleIsTerminal() {
  Console& console = TheConsole();
  std::lock_guard<std::mutex> hold(console.lock);
  return console.terminal;
}

void ConsoleWrite(std::string_view text) {
  Console& console = TheConsole();
  std::lock_guard<std::mutex> hold(console.lock);
  if (console.transient.empty()) {
    WriteAll(console.fd, text);
    return;
  }
  WriteAll(console.fd, std::string(kClearLine) + std::string(text) + console.transient);
}

void ConsoleTransient(std::string_view text) {
  Console& console = TheConsole();
  std::lock_guard<std::mutex> hold(console.lock);
  if (!console.terminal) return;
  console.transient = text;
  WriteAll(console.fd, std::string(kClearLine) + console.transient);
}

void ConsoleEndTransient() {
  Console& console = TheConsole();
  std::lock_guard<std::mutex> hold(console.lock);
  if (console.transient.empty()) return;
  console.transient.clear();
  WriteAll(console.fd, kClearLine);
}
