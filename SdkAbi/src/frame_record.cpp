#include "frame_record.h"

#include "abi_state.h"
#include "common/abi_barrier.h"

namespace sdkabi {
namespace {

struct FrameRecord {
  GENICAM_Frame record;
  std::unique_ptr<Frame> frame;
  FrameInfo info;
  Camera* camera;
};

FrameRecord* Impl(GENICAM_Frame* self) {
  return self ? static_cast<FrameRecord*>(self->priv) : nullptr;
}

int32_t Release(GENICAM_Frame* self) {
  return boundary::Barrier(SDK_FAIL, [&] {
    FrameRecord* f = Impl(self);
    if (!f) return SDK_FAIL;
    CountFor(*f->camera, &Counters::frames_outstanding, -1);
    CountLive(&LiveObjectCount::frames, -1);
    delete f;  // the backend frame gives its buffer back
    return SDK_OK;
  });
}

int32_t Valid(GENICAM_Frame* self) {
  FrameRecord* f = Impl(self);
  return f && f->info.complete ? SDK_OK : SDK_FAIL;
}

const uint8_t* Image(GENICAM_Frame* self) {
  FrameRecord* f = Impl(self);
  return f ? f->info.image : nullptr;
}

template <auto Field>
auto InfoField(GENICAM_Frame* self) {
  FrameRecord* f = Impl(self);
  return f ? f->info.*Field : 0;
}

}  // namespace

GENICAM_Frame* MakeFrameRecord(std::unique_ptr<Frame> frame, Camera& camera) {
  const bool faulted = TakeFault(&camera, FaultPoint::InvalidFrame);
  FrameInfo info = frame->Describe();
  info.complete = info.complete && !faulted;
  auto f = std::make_unique<FrameRecord>(FrameRecord{{}, std::move(frame), info, &camera});
  f->record = {f.get(),
               &Release,
               &Valid,
               &Image,
               &InfoField<&FrameInfo::size>,
               &InfoField<&FrameInfo::width>,
               &InfoField<&FrameInfo::height>,
               &InfoField<&FrameInfo::pixel_format>,
               &InfoField<&FrameInfo::padding_x>,
               &InfoField<&FrameInfo::padding_y>,
               &InfoField<&FrameInfo::block_id>};
  CountFor(camera, &Counters::frames_delivered, 1);
  CountFor(camera, &Counters::frames_outstanding, 1);
  CountLive(&LiveObjectCount::frames, 1);
  return &f.release()->record;
}

}  // namespace sdkabi
