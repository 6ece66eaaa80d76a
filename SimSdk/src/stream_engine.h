// Streams: when frames are due, which buffer each one takes, and handing
// them out.  Frames are produced lazily: every call that can change what a
// stream holds first catches the stream up to the clock, so drops are
// counted as a camera with this many buffers would count them.  All
// functions here run with TheSim().mutex held.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

#include "pixvane/pixel_formats.h"
#include "sdk_abi/backend.h"
#include "sim_control.h"

namespace simsdk {

class SimCamera;
struct StreamImpl;
using sdkabi::Clock;

// One frame buffer of a stream's pool.
struct FrameBuffer {
  std::vector<uint8_t> bytes;
};

// Shared by a stream and the frames it handed out, so a frame released
// after its stream returns its buffer safely.
struct BufferPool {
  StreamImpl* owner = nullptr;  // null once the stream is released
  uint32_t capacity = 0;
  uint32_t in_use = 0;  // queued plus handed out
  std::vector<std::shared_ptr<FrameBuffer>> idle;
  // The stream's: notified when a frame is queued, a buffer is freed or
  // the stream stops.
  std::shared_ptr<sdkabi::FrameSignal> signal;
};

// How a camera's settings make frames come.
struct Timing {
  enum class Source { Rate, Unlimited, Software, Line1, None } source = Source::None;
  double rate = 0;  // frames per second, for Source::Rate
  bool operator==(const Timing&) const = default;
};
Timing TimingOf(const CameraConfig& config);

struct PendingFrame {
  std::shared_ptr<FrameBuffer> buffer;
  uint64_t number;
  FrameLayout layout;
  const pixvane::PixelFormatInfo* format;
};

// A stream of a simulated camera; the backend interface is in
// sim_stream.cpp, the data are guarded by TheSim().mutex.
struct StreamImpl final : sdkabi::Stream {
  StreamImpl(SimCamera& owner, std::shared_ptr<sdkabi::FrameSignal> signal);
  ~StreamImpl() override;
  bool Start(uint64_t limit) override;
  sdkabi::StopResult Stop() override;
  bool IsGrabbing() override;
  sdkabi::FramePoll TakeFrame(Clock::time_point now) override;

  SimCamera* camera;
  std::shared_ptr<BufferPool> pool = std::make_shared<BufferPool>();
  bool grabbing = false;
  uint64_t max_images = 0;  // 0 = no limit
  uint64_t next_number = 0;
  Timing timing;
  Clock::time_point origin;  // when frame number_at_origin was due
  uint64_t number_at_origin = 0;
  std::deque<PendingFrame> queue;
};

// Brings every grabbing stream of the camera up to `now` under its
// current timing; call before changing a setting.
void CatchUpCamera(SimCamera& camera, Clock::time_point now);
// After a setting changed: streams whose timing changed restart their
// clock at `now`.
void RetimeCamera(SimCamera& camera, Clock::time_point now);
// One frame on every grabbing stream of the camera waiting for `source`.
void TriggerCamera(SimCamera& camera, Timing::Source source);
// Stops every stream of the camera (unplug, disconnect, replaced set).
void StopCameraStreams(SimCamera& camera);

void StartStream(StreamImpl& stream, uint64_t max_images, Clock::time_point now);
void StopStream(StreamImpl& stream);

// Outcome of one attempt to take a frame.
struct TakeResult {
  bool have_frame = false;
  PendingFrame frame;
  Clock::time_point retry_at = Clock::time_point::max();  // next frame due
};
TakeResult TakeFrame(StreamImpl& stream, Clock::time_point now);

// A handed-out frame's buffer goes back (after catching its stream up).
void ReturnBuffer(const std::shared_ptr<BufferPool>& pool, std::shared_ptr<FrameBuffer> buffer);

}  // namespace simsdk
