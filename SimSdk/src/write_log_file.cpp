// TERVIXMD_SIM_WRITE_LOG=PATH: when the process ends, the write log of every
// camera of the current set goes to PATH, so a test that runs a whole
// program on the simulator can see which writes reached a camera.
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "sim_state.h"

namespace simsdk {
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
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  for (const auto& camera : sim.cameras) {
    for (const LogEntry& entry : camera->log) {
      std::fprintf(file, "%s\t%s\t%s\t%s\n", camera->config.key.c_str(), entry.feature.c_str(),
                   entry.value.c_str(), entry.accepted ? "accepted" : "refused");
    }
  }
  std::fclose(file);
}

}  // namespace

void ArrangeWriteLogFile() {
  const char* path = std::getenv("TERVIXMD_SIM_WRITE_LOG");
  if (path == nullptr || *path == '\0') return;
  LogPath() = path;
  std::atexit(WriteLogFile);
}

}  // namespace simsdk
