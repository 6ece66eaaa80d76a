// The test-control API over the simulator's state.
#include "sim_control.h"

#include "sim_loader.h"
#include "sim_state.h"
#include "stream_engine.h"

namespace simsdk {

void SetCameras(const std::vector<CameraConfig>& cameras) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  InstallCameras(sim, cameras);
}

bool LoadCamerasFromFile(const std::string& path, std::string* error) {
  const auto cameras = ReadCameraFile(path, error);
  if (cameras) SetCameras(*cameras);
  return cameras.has_value();
}

void Reset() {
  SetCameras(StartSet());
}

bool UpdateCamera(const std::string& key, const std::function<void(CameraConfig&)>& edit) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  SimCamera* camera = FindCamera(sim, key);
  if (!camera) return false;
  const auto now = Clock::now();
  CatchUpCamera(*camera, now);
  edit(camera->config);
  RetimeCamera(*camera, now);
  return true;
}

void InjectFault(const std::string& camera_key, SimOp op, int count, const std::string& feature) {
  if (count == 0 || count < kForever) return;
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  sim.faults.push_back({camera_key, op, feature, count});
}

void ClearFaults() {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  sim.faults.clear();
}

void InjectFaultAt(const std::string& camera_key, SimOp op, int nth, const std::string& feature) {
  if (nth < 1) return;
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  sim.faults.push_back({camera_key, op, feature, 1, nth - 1});
}

uint64_t FaultableCalls(SimOp op) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  return sim.faultable_calls[static_cast<size_t>(op)];
}

bool Unplug(const std::string& key) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  SimCamera* camera = FindCamera(sim, key);
  if (!camera) return false;
  camera->plugged = false;
  camera->connected = false;
  StopCameraStreams(*camera);
  return true;
}

bool Replug(const std::string& key) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  SimCamera* camera = FindCamera(sim, key);
  if (!camera) return false;
  camera->plugged = true;
  return true;
}

bool SendLinePulse(const std::string& key) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  SimCamera* camera = FindCamera(sim, key);
  if (!camera) return false;
  if (camera->Ready()) TriggerCamera(*camera, Timing::Source::Line1);
  return true;
}

std::vector<LogEntry> WriteLog(const std::string& key) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  SimCamera* camera = FindCamera(sim, key);
  return camera ? camera->log : std::vector<LogEntry>{};
}

void ClearWriteLog(const std::string& key) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  if (SimCamera* camera = FindCamera(sim, key)) camera->log.clear();
}

Counters CameraCounters(const std::string& key) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  SimCamera* camera = FindCamera(sim, key);
  if (!camera) return {};
  // Frames due by now count as produced (or dropped) already.
  CatchUpCamera(*camera, Clock::now());
  return camera->counters;
}

std::optional<CameraConfig> CameraState(const std::string& key) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  const auto* camera = FindCamera(sim, key);
  if (!camera) return std::nullopt;
  return camera->config;
}

bool IsConnected(const std::string& key) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  const auto* camera = FindCamera(sim, key);
  return camera && camera->Ready();
}

bool IsGrabbing(const std::string& key) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  const auto* camera = FindCamera(sim, key);
  if (!camera) return false;
  for (const StreamImpl* s : camera->streams)
    if (s->grabbing) return true;
  return false;
}

LiveObjectCount LiveObjects() {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  return sim.live;
}

}  // namespace simsdk
