#include "stream_engine.h"

#include <algorithm>
#include <cmath>

#include "frame_plan.h"
#include "sim_state.h"

namespace simsdk {
namespace {

bool IsOn(const EnumFeature& f, const char* symbol) {
  return f.present && f.value == symbol;
}

uint64_t Limit(const StreamImpl& s) {
  return s.max_images ? s.max_images : UINT64_MAX;
}

// Frame `next_number` happens now: it takes a free buffer or is dropped.
void Produce(StreamImpl& s) {
  if (s.next_number >= Limit(s)) return;
  const uint64_t number = s.next_number++;
  BufferPool& pool = *s.pool;
  const CameraConfig& config = s.camera->config;
  const FrameLayout layout = LayoutOf(config);
  const pixvane::PixelFormatInfo* format = pixvane::FindPixelFormat(layout.pixel_format);
  if (pool.in_use >= pool.capacity || !format || FrameBytes(layout, *format) == 0) {
    ++s.camera->frames_dropped;
    return;
  }
  std::shared_ptr<FrameBuffer> buffer;
  if (pool.idle.empty()) {
    buffer = std::make_shared<FrameBuffer>();
  } else {
    buffer = std::move(pool.idle.back());
    pool.idle.pop_back();
  }
  ++pool.in_use;
  s.queue.push_back({std::move(buffer), number, layout, format});
  pool.signal->Notify();
}

// Frames due by `now` at a fixed rate; frame number_at_origin is due at origin.
void CatchUp(StreamImpl& s, Clock::time_point now) {
  if (!s.grabbing || s.timing.source != Timing::Source::Rate || now < s.origin) return;
  const double elapsed = std::chrono::duration<double>(now - s.origin).count();
  const double ticks = std::min(std::floor(elapsed * s.timing.rate), 1e15);
  const uint64_t due = std::min(s.number_at_origin + 1 + static_cast<uint64_t>(ticks), Limit(s));
  while (s.next_number < due) {
    if (s.pool->in_use >= s.pool->capacity) {
      // No buffer can come free before the caller lets go of the lock.
      s.camera->frames_dropped += due - s.next_number;
      s.next_number = due;
      return;
    }
    Produce(s);
  }
}

void Restart(StreamImpl& s, Clock::time_point now) {
  s.timing = TimingOf(s.camera->config);
  s.origin = now;
  s.number_at_origin = s.next_number;
}

}  // namespace

Timing TimingOf(const CameraConfig& c) {
  if (IsOn(c.trigger_mode, "On")) {
    if (IsOn(c.trigger_source, "Software")) return {Timing::Source::Software, 0};
    if (IsOn(c.trigger_source, "Line1")) return {Timing::Source::Line1, 0};
    return {Timing::Source::None, 0};
  }
  const bool enabled = c.acquisition_frame_rate_enable.present &&
                       c.acquisition_frame_rate_enable.value && c.acquisition_frame_rate.present;
  const double rate = enabled ? c.acquisition_frame_rate.value : c.max_frame_rate;
  if (!(rate > 0)) return {Timing::Source::Unlimited, 0};
  return {Timing::Source::Rate, rate};
}

void CatchUpCamera(SimCamera& camera, Clock::time_point now) {
  for (StreamImpl* s : camera.streams) CatchUp(*s, now);
}

void RetimeCamera(SimCamera& camera, Clock::time_point now) {
  for (StreamImpl* s : camera.streams) {
    if (!s->grabbing || s->timing == TimingOf(camera.config)) continue;
    Restart(*s, now);
    s->pool->signal->Notify();
  }
}

void TriggerCamera(SimCamera& camera, Timing::Source source) {
  for (StreamImpl* s : camera.streams)
    if (s->grabbing && s->timing.source == source) Produce(*s);
}

void StopCameraStreams(SimCamera& camera) {
  for (StreamImpl* s : camera.streams) StopStream(*s);
}

void StartStream(StreamImpl& s, uint64_t max_images, Clock::time_point now) {
  s.grabbing = true;
  s.max_images = max_images;
  s.next_number = 0;
  s.pool->capacity = std::max<uint32_t>(s.camera->config.buffer_count, 1);
  Restart(s, now);
}

void StopStream(StreamImpl& s) {
  s.grabbing = false;
  // Frames not yet handed out are lost, as in a camera's stop.
  for (PendingFrame& f : s.queue) {
    --s.pool->in_use;
    s.pool->idle.push_back(std::move(f.buffer));
  }
  s.queue.clear();
  s.pool->signal->Notify();
}

TakeResult TakeFrame(StreamImpl& s, Clock::time_point now) {
  TakeResult result;
  CatchUp(s, now);
  // Unlimited: a frame whenever one is asked for and a buffer is free.
  if (s.queue.empty() && s.timing.source == Timing::Source::Unlimited &&
      s.pool->in_use < s.pool->capacity)
    Produce(s);
  if (!s.queue.empty()) {
    result.have_frame = true;
    result.frame = std::move(s.queue.front());
    s.queue.pop_front();
    return result;
  }
  if (s.timing.source == Timing::Source::Rate && s.next_number < Limit(s)) {
    // Bounded so a very low rate cannot overflow the clock's type.
    const auto offset = std::chrono::duration<double>(
        std::min(static_cast<double>(s.next_number - s.number_at_origin) / s.timing.rate, 1e6));
    result.retry_at = s.origin + std::chrono::duration_cast<Clock::duration>(offset);
  }
  return result;
}

void ReturnBuffer(const std::shared_ptr<BufferPool>& pool, std::shared_ptr<FrameBuffer> buffer) {
  if (StreamImpl* owner = pool->owner) CatchUp(*owner, Clock::now());
  --pool->in_use;
  pool->idle.push_back(std::move(buffer));
  pool->signal->Notify();
}

}  // namespace simsdk
