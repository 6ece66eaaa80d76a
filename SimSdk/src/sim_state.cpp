#include "sim_state.h"

#include "sdk_abi/controls.h"
#include "sim_loader.h"
#include "stream_engine.h"

namespace simsdk {

Sim& TheSim() {
  static Sim* const sim = [] {
    auto* s = new Sim;
    InstallCameras(*s, StartSet());
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
    sim.retired.push_back(std::move(camera));
  }
  sim.cameras.clear();
  for (const CameraConfig& config : cameras)
    sim.cameras.push_back(std::make_unique<SimCamera>(config));
  sdkabi::Controls::Linked().ClearFaults();
}

std::vector<sdkabi::Camera*> Sim::Discover() {
  std::lock_guard lock(mutex);
  std::vector<sdkabi::Camera*> found;
  for (auto& camera : cameras)
    if (camera->plugged) found.push_back(camera.get());
  return found;
}

sdkabi::Camera* Sim::CameraByKey(const std::string& key) {
  std::lock_guard lock(mutex);
  return FindCamera(*this, key);
}

}  // namespace simsdk

sdkabi::Backend& sdkabi::TheBackend() {
  return simsdk::TheSim();
}
