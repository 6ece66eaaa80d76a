#include "abi_state.h"

#include "write_log_file.h"

namespace sdkabi {
namespace {

bool Matches(const FaultRule& rule, const std::string* camera_key, FaultPoint point,
             std::string_view feature) {
  if (rule.point != point) return false;
  const bool system_level = point == FaultPoint::SystemInstance || point == FaultPoint::Discovery;
  if (!system_level && (!camera_key || rule.camera_key != *camera_key)) return false;
  return rule.feature.empty() || rule.feature == feature;
}

}  // namespace

AbiState& TheState() {
  static AbiState* const state = [] {
    auto* made = new AbiState;
    ArrangeWriteLogFile();
    return made;
  }();
  return *state;
}

bool TakeFault(const Camera* camera, FaultPoint point, std::string_view feature) {
  AbiState& state = TheState();
  std::lock_guard lock(state.mutex);
  ++state.faultable_calls[static_cast<size_t>(point)];
  if (state.faults.empty()) return false;
  const auto book = camera ? state.books.find(camera) : state.books.end();
  const std::string* key = book != state.books.end() ? &book->second.key : nullptr;
  // Every rule still counting down sees the call; the oldest armed one
  // takes it.
  auto armed = state.faults.end();
  for (auto it = state.faults.begin(); it != state.faults.end(); ++it) {
    if (!Matches(*it, key, point, feature)) continue;
    if (it->skip > 0) {
      --it->skip;
    } else if (armed == state.faults.end()) {
      armed = it;
    }
  }
  if (armed == state.faults.end()) return false;
  if (armed->remaining != kForever && --armed->remaining <= 0) state.faults.erase(armed);
  return true;
}

void CountLive(uint64_t LiveObjectCount::*kind, int delta) {
  AbiState& state = TheState();
  std::lock_guard lock(state.mutex);
  state.live.*kind += static_cast<uint64_t>(delta);  // wraps to a decrement for -1
}

void CountFor(const Camera& camera, uint64_t Counters::*counter, int delta) {
  AbiState& state = TheState();
  std::lock_guard lock(state.mutex);
  state.books[&camera].counters.*counter += static_cast<uint64_t>(delta);
}

void LogWrite(const Camera& camera, LogEntry entry) {
  AbiState& state = TheState();
  std::lock_guard lock(state.mutex);
  state.books[&camera].log.push_back(std::move(entry));
}

void NoteKey(const Camera& camera, const std::string& key) {
  AbiState& state = TheState();
  std::lock_guard lock(state.mutex);
  state.books[&camera].key = key;
}

}  // namespace sdkabi
