// The SDKCTL_* entry points over the plumbing's state and the backend.
#include <string>
#include <vector>

#include "abi_state.h"
#include "common/abi_barrier.h"

namespace sdkabi {
namespace {

bool KnownPoint(int32_t point) {
  return point >= 0 && point < kFaultPoints;
}

// The camera the backend knows under `key` (the control names cameras by
// key), or null.
Camera* Named(const char* key) {
  return key ? TheBackend().CameraByKey(key) : nullptr;
}

// Runs `use` on the camera's book under the lock.
template <typename Use>
auto WithBook(const Camera& camera, Use use) {
  AbiState& state = TheState();
  std::lock_guard lock(state.mutex);
  return use(state.books[&camera]);
}

}  // namespace
}  // namespace sdkabi

using namespace sdkabi;

extern "C" {

SDK_API int32_t SDKCTL_InjectFault(const char* camera_key, int32_t point, int32_t count,
                                   int32_t skip, const char* feature) {
  return boundary::Barrier(SDK_FAIL, [&] {
    if (!camera_key || !feature || !KnownPoint(point) || count == 0 || count < kForever || skip < 0)
      return SDK_FAIL;
    AbiState& state = TheState();
    std::lock_guard lock(state.mutex);
    state.faults.push_back({camera_key, static_cast<FaultPoint>(point), feature, count, skip});
    return SDK_OK;
  });
}

SDK_API int32_t SDKCTL_ClearFaults(void) {
  AbiState& state = TheState();
  std::lock_guard lock(state.mutex);
  state.faults.clear();
  return SDK_OK;
}

SDK_API int32_t SDKCTL_FaultableCalls(int32_t point, uint64_t* calls) {
  if (!KnownPoint(point) || !calls) return SDK_FAIL;
  AbiState& state = TheState();
  std::lock_guard lock(state.mutex);
  *calls = state.faultable_calls[static_cast<size_t>(point)];
  return SDK_OK;
}

SDK_API int32_t SDKCTL_VisitWriteLog(const char* camera_key, SDKCTL_LogVisitor visit,
                                     void* context) {
  return boundary::Barrier(SDK_FAIL, [&] {
    if (!visit) return SDK_FAIL;
    const Camera* camera = Named(camera_key);
    if (!camera) return SDK_OK;
    // Visited from a copy, so the visitor runs without the lock.
    const auto log = WithBook(*camera, [](const CameraBook& book) { return book.log; });
    for (const LogEntry& entry : log)
      visit(context, entry.feature.c_str(), entry.value.c_str(), entry.accepted ? 1 : 0);
    return SDK_OK;
  });
}

SDK_API int32_t SDKCTL_ClearWriteLog(const char* camera_key) {
  return boundary::Barrier(SDK_FAIL, [&] {
    const Camera* camera = Named(camera_key);
    if (!camera) return SDK_OK;
    WithBook(*camera, [](CameraBook& book) { book.log.clear(); });
    return SDK_OK;
  });
}

SDK_API int32_t SDKCTL_CameraCounters(const char* camera_key, SDKCTL_Counters* counters) {
  return boundary::Barrier(SDK_FAIL, [&] {
    if (!counters) return SDK_FAIL;
    *counters = {};
    Camera* camera = Named(camera_key);
    if (!camera) return SDK_OK;
    const uint64_t dropped = camera->FramesDropped();
    *counters = WithBook(*camera, [](const CameraBook& book) { return book.counters; });
    counters->frames_dropped = dropped;
    return SDK_OK;
  });
}

SDK_API int32_t SDKCTL_IsConnected(const char* camera_key, int32_t* state) {
  return boundary::Barrier(SDK_FAIL, [&] {
    if (!state) return SDK_FAIL;
    Camera* camera = Named(camera_key);
    *state = camera && camera->State() == CameraState::Connected ? 1 : 0;
    return SDK_OK;
  });
}

SDK_API int32_t SDKCTL_IsGrabbing(const char* camera_key, int32_t* state) {
  return boundary::Barrier(SDK_FAIL, [&] {
    if (!state) return SDK_FAIL;
    Camera* camera = Named(camera_key);
    *state = camera && camera->IsGrabbing() ? 1 : 0;
    return SDK_OK;
  });
}

SDK_API int32_t SDKCTL_LiveObjects(SDKCTL_LiveCounts* live) {
  if (!live) return SDK_FAIL;
  AbiState& state = TheState();
  std::lock_guard lock(state.mutex);
  const LiveObjectCount& count = state.live;
  *live = {count.controls, count.streams, count.frames, count.value_nodes, count.named_nodes};
  return SDK_OK;
}

}  // extern "C"
