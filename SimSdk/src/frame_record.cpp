#include "frame_record.h"

#include <cstring>

#include "frame_pattern.h"
#include "pattern_cache.h"
#include "sim_state.h"
#include "status_guard.h"

namespace simsdk {
namespace {

struct FrameImpl {
  GENICAM_Frame record;
  PendingFrame pending;
  std::shared_ptr<BufferPool> pool;
  SimCamera* camera;
  bool complete;
  uint32_t size;
};

FrameImpl* Impl(GENICAM_Frame* self) {
  return self ? static_cast<FrameImpl*>(self->priv) : nullptr;
}

int32_t Release(GENICAM_Frame* self) {
  return Guarded([&]() -> int32_t {
    FrameImpl* f = Impl(self);
    if (!f) return SDK_FAIL;
    {
      Sim& sim = TheSim();
      std::lock_guard lock(sim.mutex);
      ReturnBuffer(f->pool, std::move(f->pending.buffer));
      --f->camera->counters.frames_outstanding;
      --sim.live.frames;
    }
    delete f;
    return SDK_OK;
  });
}

int32_t Valid(GENICAM_Frame* self) {
  FrameImpl* f = Impl(self);
  return f && f->complete ? SDK_OK : SDK_FAIL;
}

const uint8_t* Image(GENICAM_Frame* self) {
  FrameImpl* f = Impl(self);
  return f ? f->pending.buffer->bytes.data() : nullptr;
}

uint32_t Size(GENICAM_Frame* self) {
  FrameImpl* f = Impl(self);
  return f ? f->size : 0;
}

uint32_t Width(GENICAM_Frame* self) {
  FrameImpl* f = Impl(self);
  return f ? f->pending.layout.width : 0;
}

uint32_t Height(GENICAM_Frame* self) {
  FrameImpl* f = Impl(self);
  return f ? f->pending.layout.height : 0;
}

uint32_t PixelFormat(GENICAM_Frame* self) {
  FrameImpl* f = Impl(self);
  return f ? f->pending.format->code : 0;
}

uint32_t PaddingX(GENICAM_Frame* self) {
  FrameImpl* f = Impl(self);
  return f ? f->pending.layout.padding_x : 0;
}

uint32_t PaddingY(GENICAM_Frame* self) {
  FrameImpl* f = Impl(self);
  return f ? f->pending.layout.padding_y : 0;
}

uint64_t BlockId(GENICAM_Frame* self) {
  FrameImpl* f = Impl(self);
  return f ? f->pending.number : 0;
}

}  // namespace

GENICAM_Frame* MakeFrame(PendingFrame pending, std::shared_ptr<BufferPool> pool, SimCamera* camera,
                         bool complete) {
  const uint32_t size = static_cast<uint32_t>(FrameBytes(pending.layout, *pending.format));
  auto* f = new FrameImpl{{}, std::move(pending), std::move(pool), camera, complete, size};
  f->record = {f,       &Release,     &Valid,    &Image,    &Size,   &Width,
               &Height, &PixelFormat, &PaddingX, &PaddingY, &BlockId};
  ++camera->counters.frames_delivered;
  ++camera->counters.frames_outstanding;
  ++TheSim().live.frames;
  return &f->record;
}

void RenderFrameBuffer(GENICAM_Frame* frame) {
  FrameImpl* f = Impl(frame);
  FrameBuffer& buffer = *f->pending.buffer;
  const FrameLayout& layout = f->pending.layout;
  if (!buffer.holds_render || !SameLayout(buffer.layout, layout)) {
    const auto pattern = CachedRender(layout, *f->pending.format);
    buffer.bytes.assign(pattern->begin(), pattern->end());
    buffer.layout = layout;
    buffer.holds_render = true;
  }
  Restamp(layout, *f->pending.format, f->pending.number, buffer.bytes.data());
}

}  // namespace simsdk
