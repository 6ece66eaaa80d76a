// The simulator's state: the camera set, the fault rules and the counts of
// live objects.  One mutex (Sim::mutex) guards all of it and every stream;
// every SDK operation and test-control call takes it, and nothing slow
// (frame rendering) runs while it is held.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "camera_sdk.h"
#include "sim_control.h"

namespace simsdk {

struct StreamImpl;

struct SimCamera {
  CameraConfig config;  // identity, current feature values and limits
  bool plugged = true;
  bool retired = false;  // belongs to a replaced camera set
  bool connected = false;
  std::vector<LogEntry> log;
  Counters counters;
  std::vector<StreamImpl*> streams;  // live stream objects of this camera

  bool Present() const { return plugged && !retired; }
  bool Ready() const { return Present() && connected; }
};

// What a discovery reported for one camera; its strings stay valid as long
// as the discovery's array does (for the life of the process).
struct DiscoveredCamera {
  SimCamera* state;
  std::string name, key, vendor, model, serial;
};

struct DiscoveryArray {
  std::vector<DiscoveredCamera> cameras;
  std::vector<GENICAM_Camera> records;  // records[i].priv = &cameras[i]
};

struct FaultRule {
  std::string camera_key;
  SimOp op;
  std::string feature;
  int remaining;  // kForever or the calls still to fail
  int skip = 0;   // matching calls still to pass before the rule is armed
};

struct Sim {
  std::mutex mutex;
  // Camera states are never destroyed, so SDK objects may keep raw
  // pointers to them: a replaced set moves to `retired` and fails.
  std::vector<std::unique_ptr<SimCamera>> cameras;
  std::vector<std::unique_ptr<SimCamera>> retired;
  std::deque<DiscoveryArray> discoveries;
  std::vector<FaultRule> faults;
  LiveObjectCount live;
  std::array<uint64_t, kSimOpKinds> faultable_calls{};
};

// The process's simulator, set up from TERVIXMD_SIM_CONFIG or the defaults
// on first use and never destroyed (SDK objects may outlive static
// destruction order).
Sim& TheSim();

// Arranges the write-log file that TERVIXMD_SIM_WRITE_LOG names, if any
// (write_log_file.cpp); called once, when the simulator is set up.
void ArrangeWriteLogFile();

// Callers hold TheSim().mutex for all of the following.

// Null when no camera of the current set has this key.
SimCamera* FindCamera(Sim& sim, std::string_view key);

// Installs a camera set: earlier cameras retire (streams stopped), faults
// are cleared.
void InstallCameras(Sim& sim, const std::vector<CameraConfig>& cameras);

// True when a fault rule for this call is armed; uses one of its calls.
// `camera` may be null for the system-level operations.
bool TakeFault(Sim& sim, const SimCamera* camera, SimOp op, std::string_view feature = {});

// The camera behind an SDK camera record, or null for a bad record.
SimCamera* CameraOf(const GENICAM_Camera* camera);

}  // namespace simsdk
