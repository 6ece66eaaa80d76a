// TERVIXMD_WRITE_LOG=PATH: when the process ends, the write log of every
// camera goes to PATH, so a test that runs a whole program on an SDK can
// see which writes reached a camera.
#include "write_log_file.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "abi_state.h"

namespace sdkabi {
namespace {

std::string& LogPath() {
  // Never destroyed: the exit handler reads it after static destruction
  // may have begun.
  static std::string* const path = new std::string;
  return *path;
}

// One line per entry: KEY, FEATURE, VALUE and "accepted" or "refused",
// separated by tabs.
void WriteLogFile() {
  std::FILE* file = std::fopen(LogPath().c_str(), "w");
  if (file == nullptr) return;
  AbiState& state = TheState();
  std::lock_guard lock(state.mutex);
  for (const auto& [camera, book] : state.books) {
    for (const LogEntry& entry : book.log) {
      std::fprintf(file, "%s\t%s\t%s\t%s\n", book.key.c_str(), entry.feature.c_str(),
                   entry.value.c_str(), entry.accepted ? "accepted" : "refused");
    }
  }
  std::fclose(file);
}

}  // namespace

void ArrangeWriteLogFile() {
  const char* path = std::getenv("TERVIXMD_WRITE_LOG");
  if (path == nullptr || *path == '\0') return;
  LogPath() = path;
  std::atexit(WriteLogFile);
}

}  // namespace sdkabi
