// The test-control API over the simulator's state.
#include "sim_control.h"

#include <algorithm>

#include "sim_loader.h"
#include "sim_state.h"
#include "stream_engine.h"

namespace simsdk {
namespace {

uint32_t Pixels(int64_t value) {
  return static_cast<uint32_t>(std::clamp<int64_t>(value, 0, UINT32_MAX));
}

}  // namespace

FrameLayout LayoutOf(const CameraConfig& c) {
  const FrameLayout neutral;
  return {c.pixel_format.value,
          Pixels(c.width.value),
          Pixels(c.height.value),
          c.reverse_x.present && c.reverse_x.value,
          c.reverse_y.present && c.reverse_y.value,
          c.padding_x,
          c.padding_y,
          Pixels(c.width.max),
          Pixels(c.height.max),
          c.exposure_time.present ? c.exposure_time.value : neutral.exposure_time,
          c.gain_raw.present ? c.gain_raw.value : neutral.gain,
          c.gamma.present ? c.gamma.value : neutral.gamma,
          c.contrast.present ? c.contrast.value : neutral.contrast};
}

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

std::optional<CameraConfig> CameraState(const std::string& key) {
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  const auto* camera = FindCamera(sim, key);
  if (!camera) return std::nullopt;
  return camera->config;
}

}  // namespace simsdk
