// The SDK's stream-source record and GENICAM_createStreamSource.
#include <algorithm>

#include "frame_record.h"
#include "sim_state.h"
#include "status_guard.h"
#include "stream_engine.h"

namespace simsdk {
namespace {

StreamImpl* Impl(GENICAM_StreamSource* self) {
  return self ? static_cast<StreamImpl*>(self->priv) : nullptr;
}

int32_t Release(GENICAM_StreamSource* self) {
  StreamImpl* s = Impl(self);
  if (!s) return SDK_FAIL;
  Sim& sim = TheSim();
  {
    std::lock_guard lock(sim.mutex);
    StopStream(*s);
    s->pool->owner = nullptr;
    auto& streams = s->camera->streams;
    streams.erase(std::remove(streams.begin(), streams.end(), s), streams.end());
    --sim.live.streams;
  }
  delete s;
  return SDK_OK;
}

int32_t StartGrabbing(GENICAM_StreamSource* self, uint64_t max_images, int32_t /*strategy*/) {
  StreamImpl* s = Impl(self);
  if (!s) return SDK_FAIL;
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  if (!s->camera->Ready() || s->grabbing) return SDK_FAIL;
  if (TakeFault(sim, s->camera, SimOp::StartGrabbing)) return SDK_FAIL;
  StartStream(*s, max_images, Clock::now());
  ++s->camera->counters.grab_starts;
  return SDK_OK;
}

int32_t StopGrabbing(GENICAM_StreamSource* self) {
  StreamImpl* s = Impl(self);
  if (!s) return SDK_FAIL;
  Sim& sim = TheSim();
  std::lock_guard lock(sim.mutex);
  if (!s->camera->Present()) return SDK_FAIL;
  if (TakeFault(sim, s->camera, SimOp::StopGrabbing)) return SDK_FAIL;
  if (s->grabbing) {
    StopStream(*s);
    ++s->camera->counters.grab_stops;
  }
  return SDK_OK;
}

int32_t IsGrabbing(GENICAM_StreamSource* self) {
  StreamImpl* s = Impl(self);
  if (!s) return SDK_FAIL;
  std::lock_guard lock(TheSim().mutex);
  return s->grabbing ? SDK_OK : SDK_FAIL;
}

int32_t GetFrame(GENICAM_StreamSource* self, GENICAM_Frame** frame, uint32_t timeout_ms) {
  return Guarded([&]() -> int32_t {
    StreamImpl* s = Impl(self);
    if (!s || !frame) return SDK_FAIL;
    Sim& sim = TheSim();
    GENICAM_Frame* taken = nullptr;
    {
      std::unique_lock lock(sim.mutex);
      if (!s->camera->Ready() || TakeFault(sim, s->camera, SimOp::FrameTimeout)) return SDK_FAIL;
      const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
      // Frames share the pool, so they outlive the stream.
      const std::shared_ptr<BufferPool> pool = s->pool;
      while (true) {
        if (!s->grabbing || !s->camera->Ready()) return SDK_FAIL;
        const auto now = Clock::now();
        TakeResult result = TakeFrame(*s, now);
        if (result.have_frame) {
          const bool complete = !TakeFault(sim, s->camera, SimOp::InvalidFrame);
          taken = MakeFrame(std::move(result.frame), pool, s->camera, complete);
          break;
        }
        if (now >= deadline) return SDK_FAIL;
        pool->wake.wait_until(lock, std::min(deadline, result.retry_at));
      }
    }
    try {
      RenderFrameBuffer(taken);
    } catch (...) {
      taken->release(taken);
      return SDK_FAIL;
    }
    *frame = taken;
    return SDK_OK;
  });
}

}  // namespace
}  // namespace simsdk

using namespace simsdk;

extern "C" SDK_API int32_t GENICAM_createStreamSource(const StreamSourceInfo* info,
                                                      GENICAM_StreamSource** stream) {
  return Guarded([&]() -> int32_t {
    if (!info || !stream || info->channelId != 0) return SDK_FAIL;
    Sim& sim = TheSim();
    std::lock_guard lock(sim.mutex);
    SimCamera* camera = CameraOf(info->camera);
    if (!camera || !camera->Ready()) return SDK_FAIL;
    if (TakeFault(sim, camera, SimOp::CreateStream)) return SDK_FAIL;
    auto* s = new StreamImpl{};
    s->record = {s, &Release, &StartGrabbing, &StopGrabbing, &IsGrabbing, &GetFrame};
    s->camera = camera;
    s->pool->owner = s;
    s->pool->capacity = std::max<uint32_t>(camera->config.buffer_count, 1);
    camera->streams.push_back(s);
    ++sim.live.streams;
    *stream = &s->record;
    return SDK_OK;
  });
}
