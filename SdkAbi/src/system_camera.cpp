// The system object, discovery and the camera records.  Every discovery's
// records stay valid for the life of the process: the interface keeps
// pointers to those of its first discovery.
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "abi_state.h"
#include "camera_records.h"
#include "common/abi_barrier.h"

namespace sdkabi {
namespace {

// A camera as one discovery reported it; the strings are what the
// identity getters hand out.
struct DiscoveredCamera {
  Camera* camera;
  CameraIdentity identity;
};

struct DiscoveryArray {
  std::vector<DiscoveredCamera> cameras;
  std::vector<GENICAM_Camera> records;  // records[i].priv = &cameras[i]
};

// Only ever appended to, so earlier arrays keep their addresses.
struct Discoveries {
  std::mutex mutex;
  std::deque<DiscoveryArray> arrays;
};

Discoveries& TheDiscoveries() {
  static Discoveries* const discoveries = new Discoveries;
  return *discoveries;
}

const DiscoveredCamera* Found(GENICAM_Camera* self) {
  return self && self->priv ? static_cast<const DiscoveredCamera*>(self->priv) : nullptr;
}

template <std::string CameraIdentity::*Field>
const char* IdentityText(GENICAM_Camera* self) {
  const DiscoveredCamera* c = Found(self);
  return c ? (c->identity.*Field).c_str() : "";
}

// Access modes a GenICam transport knows: monitor, control, exclusive.
bool KnownAccessMode(int32_t mode) {
  return mode >= 1 && mode <= 3;
}

int32_t Connect(GENICAM_Camera* self, int32_t access_mode) {
  return boundary::Barrier(SDK_FAIL, [&] {
    Camera* camera = CameraOf(self);
    if (!camera || !KnownAccessMode(access_mode)) return SDK_FAIL;
    if (camera->State() == CameraState::Gone || TakeFault(camera, FaultPoint::Connect))
      return SDK_FAIL;
    if (!camera->Connect()) return SDK_FAIL;
    CountFor(*camera, &Counters::connects, 1);
    return SDK_OK;
  });
}

int32_t IsConnected(GENICAM_Camera* self) {
  return boundary::Barrier(SDK_FAIL, [&] {
    Camera* camera = CameraOf(self);
    return camera && camera->State() == CameraState::Connected ? SDK_OK : SDK_FAIL;
  });
}

int32_t Disconnect(GENICAM_Camera* self) {
  return boundary::Barrier(SDK_FAIL, [&] {
    Camera* camera = CameraOf(self);
    if (!camera || camera->State() == CameraState::Gone ||
        TakeFault(camera, FaultPoint::Disconnect))
      return SDK_FAIL;
    if (!camera->Disconnect()) return SDK_FAIL;
    CountFor(*camera, &Counters::disconnects, 1);
    return SDK_OK;
  });
}

int32_t Discovery(GENICAM_System* /*self*/, GENICAM_Camera** cameras, uint32_t* count,
                  int32_t /*selector*/) {
  return boundary::Barrier(SDK_FAIL, [&] {
    if (!cameras || !count) return SDK_FAIL;
    if (TakeFault(nullptr, FaultPoint::Discovery)) return SDK_FAIL;
    DiscoveryArray array;
    for (Camera* camera : TheBackend().Discover()) {
      array.cameras.push_back({camera, camera->Identity()});
      NoteKey(*camera, array.cameras.back().identity.key);
    }
    Discoveries& discoveries = TheDiscoveries();
    std::lock_guard lock(discoveries.mutex);
    DiscoveryArray& kept = discoveries.arrays.emplace_back(std::move(array));
    kept.records.reserve(kept.cameras.size());
    for (DiscoveredCamera& c : kept.cameras)
      kept.records.push_back(
          {&c, &IdentityText<&CameraIdentity::name>, &IdentityText<&CameraIdentity::key>,
           &IdentityText<&CameraIdentity::vendor>, &IdentityText<&CameraIdentity::model>,
           &IdentityText<&CameraIdentity::serial>, &Connect, &IsConnected, &Disconnect});
    *cameras = kept.records.empty() ? nullptr : kept.records.data();
    *count = static_cast<uint32_t>(kept.records.size());
    return SDK_OK;
  });
}

GENICAM_System g_system = {nullptr, &Discovery};

}  // namespace

Camera* CameraOf(const GENICAM_Camera* camera) {
  if (!camera || !camera->priv) return nullptr;
  return static_cast<const DiscoveredCamera*>(camera->priv)->camera;
}

}  // namespace sdkabi

extern "C" SDK_API int32_t GENICAM_getSystemInstance(GENICAM_System** system) {
  using namespace sdkabi;
  return boundary::Barrier(SDK_FAIL, [&] {
    if (!system || TakeFault(nullptr, FaultPoint::SystemInstance)) return SDK_FAIL;
    *system = &g_system;
    return SDK_OK;
  });
}
