// The SDK's stream-source record, GENICAM_createStreamSource and the frame
// wait: the backend is asked for a frame, and asked again whenever its
// signal wakes the waiter or a frame falls due, until the time-out.
#include <algorithm>
#include <memory>

#include "abi_state.h"
#include "camera_records.h"
#include "common/abi_barrier.h"
#include "frame_record.h"

namespace sdkabi {
namespace {

struct StreamRecord {
  GENICAM_StreamSource record;
  Camera* camera;
  std::shared_ptr<FrameSignal> signal;
  std::unique_ptr<Stream> stream;
};

StreamRecord* Impl(GENICAM_StreamSource* self) {
  return self ? static_cast<StreamRecord*>(self->priv) : nullptr;
}

int32_t Release(GENICAM_StreamSource* self) {
  return boundary::Barrier(SDK_FAIL, [&] {
    StreamRecord* s = Impl(self);
    if (!s) return SDK_FAIL;
    CountLive(&LiveObjectCount::streams, -1);
    delete s;  // the backend stream stops
    return SDK_OK;
  });
}

int32_t StartGrabbing(GENICAM_StreamSource* self, uint64_t max_images, int32_t /*strategy*/) {
  return boundary::Barrier(SDK_FAIL, [&] {
    StreamRecord* s = Impl(self);
    if (!s || s->camera->State() != CameraState::Connected || s->stream->IsGrabbing())
      return SDK_FAIL;
    if (TakeFault(s->camera, FaultPoint::StartGrabbing) || !s->stream->Start(max_images))
      return SDK_FAIL;
    CountFor(*s->camera, &Counters::grab_starts, 1);
    return SDK_OK;
  });
}

int32_t StopGrabbing(GENICAM_StreamSource* self) {
  return boundary::Barrier(SDK_FAIL, [&] {
    StreamRecord* s = Impl(self);
    if (!s || s->camera->State() == CameraState::Gone ||
        TakeFault(s->camera, FaultPoint::StopGrabbing))
      return SDK_FAIL;
    switch (s->stream->Stop()) {
      case StopResult::Failed:
        return SDK_FAIL;
      case StopResult::Stopped:
        CountFor(*s->camera, &Counters::grab_stops, 1);
        return SDK_OK;
      case StopResult::NotGrabbing:
        return SDK_OK;
    }
    return SDK_FAIL;
  });
}

int32_t IsGrabbing(GENICAM_StreamSource* self) {
  return boundary::Barrier(SDK_FAIL, [&] {
    StreamRecord* s = Impl(self);
    return s && s->stream->IsGrabbing() ? SDK_OK : SDK_FAIL;
  });
}

int32_t GetFrame(GENICAM_StreamSource* self, GENICAM_Frame** frame, uint32_t timeout_ms) {
  return boundary::Barrier(SDK_FAIL, [&] {
    StreamRecord* s = Impl(self);
    if (!s || !frame) return SDK_FAIL;
    if (s->camera->State() != CameraState::Connected ||
        TakeFault(s->camera, FaultPoint::FrameTimeout))
      return SDK_FAIL;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
    while (true) {
      const uint64_t seen = s->signal->Count();
      const auto now = Clock::now();
      FramePoll poll = s->stream->TakeFrame(now);
      if (poll.frame) {
        *frame = MakeFrameRecord(std::move(poll.frame), *s->camera);
        return SDK_OK;
      }
      if (poll.stopped || now >= deadline) return SDK_FAIL;
      s->signal->WaitUntil(seen, std::min(deadline, poll.retry_at));
    }
  });
}

}  // namespace
}  // namespace sdkabi

using namespace sdkabi;

extern "C" SDK_API int32_t GENICAM_createStreamSource(const StreamSourceInfo* info,
                                                      GENICAM_StreamSource** stream) {
  return boundary::Barrier(SDK_FAIL, [&] {
    if (!info || !stream || info->channelId != 0) return SDK_FAIL;
    Camera* camera = CameraOf(info->camera);
    if (!camera || camera->State() != CameraState::Connected) return SDK_FAIL;
    if (TakeFault(camera, FaultPoint::CreateStream)) return SDK_FAIL;
    auto record = std::make_unique<StreamRecord>();
    record->camera = camera;
    record->signal = std::make_shared<FrameSignal>();
    record->stream = camera->OpenStream(record->signal);
    if (!record->stream) return SDK_FAIL;
    record->record = {record.get(),  &Release,    &StartGrabbing,
                      &StopGrabbing, &IsGrabbing, &GetFrame};
    CountLive(&LiveObjectCount::streams, 1);
    *stream = &record.release()->record;
    return SDK_OK;
  });
}
