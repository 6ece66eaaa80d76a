// The system object, discovery and the camera records.
#include "sim_state.h"
#include "status_guard.h"
#include "stream_engine.h"

namespace simsdk {
namespace {

const DiscoveredCamera* Found(GENICAM_Camera* self) {
  return self && self->priv ? static_cast<const DiscoveredCamera*>(self->priv) : nullptr;
}

const char* Name(GENICAM_Camera* self) {
  const DiscoveredCamera* c = Found(self);
  return c ? c->name.c_str() : "";
}
const char* Key(GENICAM_Camera* self) {
  const DiscoveredCamera* c = Found(self);
  return c ? c->key.c_str() : "";
}
const char* Vendor(GENICAM_Camera* self) {
  const DiscoveredCamera* c = Found(self);
  return c ? c->vendor.c_str() : "";
}
const char* Model(GENICAM_Camera* self) {
  const DiscoveredCamera* c = Found(self);
  return c ? c->model.c_str() : "";
}
const char* Serial(GENICAM_Camera* self) {
  const DiscoveredCamera* c = Found(self);
  return c ? c->serial.c_str() : "";
}

// Access modes a GenICam transport knows: monitor, control, exclusive.
bool KnownAccessMode(int32_t mode) {
  return mode >= 1 && mode <= 3;
}

int32_t Connect(GENICAM_Camera* self, int32_t access_mode) {
  SimCamera* camera = CameraOf(self);
  if (!camera || !KnownAccessMode(access_mode)) return SDK_FAIL;
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  if (!camera->Present() || TakeFault(sim, camera, SimOp::Connect)) return SDK_FAIL;
  camera->connected = true;  // again in the same process: still ours
  ++camera->counters.connects;
  return SDK_OK;
}

int32_t IsConnected(GENICAM_Camera* self) {
  SimCamera* camera = CameraOf(self);
  if (!camera) return SDK_FAIL;
  std::lock_guard lock(TheSim().mutex);
  return camera->Ready() ? SDK_OK : SDK_FAIL;
}

int32_t Disconnect(GENICAM_Camera* self) {
  SimCamera* camera = CameraOf(self);
  if (!camera) return SDK_FAIL;
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  if (!camera->Present() || TakeFault(sim, camera, SimOp::Disconnect)) return SDK_FAIL;
  StopCameraStreams(*camera);
  camera->connected = false;
  ++camera->counters.disconnects;
  return SDK_OK;
}

int32_t Discovery(GENICAM_System* /*self*/, GENICAM_Camera** cameras, uint32_t* count,
                  int32_t /*selector*/) {
  return Guarded([&]() -> int32_t {
    if (!cameras || !count) return SDK_FAIL;
    Sim& sim = TheSim();
    std::lock_guard lock(sim.mutex);
    if (TakeFault(sim, nullptr, SimOp::Discovery)) return SDK_FAIL;
    DiscoveryArray& array = sim.discoveries.emplace_back();
    for (auto& camera : sim.cameras) {
      if (!camera->plugged) continue;
      const CameraConfig& c = camera->config;
      array.cameras.push_back({camera.get(), c.name, c.key, c.vendor, c.model, c.serial});
    }
    array.records.reserve(array.cameras.size());
    for (DiscoveredCamera& c : array.cameras)
      array.records.push_back(
          {&c, &Name, &Key, &Vendor, &Model, &Serial, &Connect, &IsConnected, &Disconnect});
    *cameras = array.records.empty() ? nullptr : array.records.data();
    *count = static_cast<uint32_t>(array.records.size());
    return SDK_OK;
  });
}

GENICAM_System g_system = {nullptr, &Discovery};

}  // namespace
}  // namespace simsdk

extern "C" SDK_API int32_t GENICAM_getSystemInstance(GENICAM_System** system) {
  using namespace simsdk;
  if (!system) return SDK_FAIL;
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  if (TakeFault(sim, nullptr, SimOp::SystemInstance)) return SDK_FAIL;
  *system = &g_system;
  return SDK_OK;
}
