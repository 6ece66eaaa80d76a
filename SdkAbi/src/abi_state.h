// The plumbing's own state: the fault rules, the counts of live objects
// and a book per camera.  One mutex guards all of it.  It is never held
// while a backend runs, so backends may call the control entry points
// under their own locks.
#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "sdk_abi/backend.h"
#include "sdk_abi/controls.h"

namespace sdkabi {

struct FaultRule {
  std::string camera_key;
  FaultPoint point;
  std::string feature;
  int remaining;  // kForever or the calls still to fail
  int skip = 0;   // matching calls still to pass before the rule is armed
};

// What the plumbing notes about one backend camera.
struct CameraBook {
  std::string key;      // as discovered; fault rules match it
  Counters counters{};  // frames_dropped stays 0: the backend counts drops
  std::vector<LogEntry> log;
};

struct AbiState {
  std::mutex mutex;
  std::vector<FaultRule> faults;
  std::array<uint64_t, kFaultPoints> faultable_calls{};
  LiveObjectCount live;
  // Cameras live as long as the process, so their books may too.
  std::unordered_map<const Camera*, CameraBook> books;
};

// Made on first use and never destroyed (records may be released during
// static destruction).
AbiState& TheState();

// The following take the state's mutex themselves.

// True when a fault rule for this call is armed; uses one of its calls.
// `camera` is null for the system-level points.
bool TakeFault(const Camera* camera, FaultPoint point, std::string_view feature = {});

// One more (+1) or one fewer (-1) live object of a kind.
void CountLive(uint64_t LiveObjectCount::*kind, int delta);

// Adds `delta` to one of the camera's counters.
void CountFor(const Camera& camera, uint64_t Counters::*counter, int delta);

void LogWrite(const Camera& camera, LogEntry entry);

// Notes the key a discovery reported for the camera.
void NoteKey(const Camera& camera, const std::string& key);

}  // namespace sdkabi
