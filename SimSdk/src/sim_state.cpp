#include "sim_state.h"

#include "sim_loader.h"
#include "stream_engine.h"

namespace simsdk {
namespace {

bool Matches(const FaultRule& rule, const SimCamera* camera, SimOp op, std::string_view feature) {
  if (rule.op != op) return false;
  const bool system_level = op == SimOp::SystemInstance || op == SimOp::Discovery;
  if (!system_level && (!camera || rule.camera_key != camera->config.key)) return false;
  return rule.feature.empty() || rule.feature == feature;
}

}  // namespace

Sim& TheSim() {
  static Sim* const sim = [] {
    auto* s = new Sim;
    InstallCameras(*s, StartSet());
    ArrangeWriteLogFile();
    return s;
  }();
  return *sim;
}

SimCamera* FindCamera(Sim& sim, std::string_view key) {
  for (auto& camera : sim.cameras)
    if (camera->config.key == key) return camera.get();
  return nullptr;
}

void InstallCameras(Sim& sim, const std::vector<CameraConfig>& cameras) {
  for (auto& camera : sim.cameras) {
    camera->retired = true;
    camera->connected = false;
    StopCameraStreams(*camera);
    camera->log.clear();
    sim.retired.push_back(std::move(camera));
  }
  sim.cameras.clear();
  for (const CameraConfig& config : cameras) {
    auto camera = std::make_unique<SimCamera>();
    camera->config = config;
    sim.cameras.push_back(std::move(camera));
  }
  sim.faults.clear();
}

bool TakeFault(Sim& sim, const SimCamera* camera, SimOp op, std::string_view feature) {
  ++sim.faultable_calls[static_cast<size_t>(op)];
  // Every rule still counting down sees the call; the oldest armed one
  // takes it.
  auto armed = sim.faults.end();
  for (auto it = sim.faults.begin(); it != sim.faults.end(); ++it) {
    if (!Matches(*it, camera, op, feature)) continue;
    if (it->skip > 0) {
      --it->skip;
    } else if (armed == sim.faults.end()) {
      armed = it;
    }
  }
  if (armed == sim.faults.end()) return false;
  if (armed->remaining != kForever && --armed->remaining <= 0) sim.faults.erase(armed);
  return true;
}

SimCamera* CameraOf(const GENICAM_Camera* camera) {
  if (!camera || !camera->priv) return nullptr;
  return static_cast<const DiscoveredCamera*>(camera->priv)->state;
}

}  // namespace simsdk
