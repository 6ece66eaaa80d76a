// A camera's stream on Aravis, and its frames.  The stream record and its
// frames share a StreamCore, so a frame released after its stream still
// finds where its buffer goes.
#pragma once

#include <arv.h>

#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "sdk_abi/backend.h"

namespace arvsdk {

class AravisCamera;

// What the stream record and its frames share.  `mutex` guards every
// member but the constants; taken after the camera's lock, never before.
struct StreamCore {
  StreamCore(AravisCamera& owner, std::shared_ptr<sdkabi::FrameSignal> frame_signal)
      : camera(owner), signal(std::move(frame_signal)) {}

  AravisCamera& camera;
  const std::shared_ptr<sdkabi::FrameSignal> signal;

  std::mutex mutex;
  ArvStream* stream = nullptr;  // made at the first start after a connect
  // Bumped whenever the buffers handed out stop belonging to `stream`: a
  // frame of an older generation frees its buffer instead of queueing it.
  uint64_t generation = 0;
  size_t payload = 0;  // bytes per buffer of this generation
  bool grabbing = false;
  uint64_t next_block = 0;
  uint64_t max_images = 0;  // 0: no limit
  // Frames the camera sent that never reached a buffer, seen as gaps in
  // the camera's frame ids (Aravis counts such losses by the packet).
  uint64_t dropped = 0;
  std::optional<uint64_t> last_frame_id;  // of this run

  // All under `mutex`.
  // Queues every finished buffer again: frames of an earlier run are
  // never delivered.
  void FlushLocked();
  // Buffers of `bytes` each in the stream's queue, renewed when the size
  // changed.
  void ProvideBuffersLocked(size_t bytes);
  // Counts the frames between the last one taken and `buffer`.
  void NoteFrameIdLocked(ArvBuffer* buffer);
  // Ends grabbing and lets the Aravis stream go: it joins `released`.
  void DetachLocked(std::vector<gpointer>& released);
  // A frame's buffer coming back.
  void GiveBack(ArvBuffer* buffer, uint64_t buffer_generation);
};

class AravisStream final : public sdkabi::Stream {
 public:
  explicit AravisStream(std::shared_ptr<StreamCore> core) : core_(std::move(core)) {}
  ~AravisStream() override;

  bool Start(uint64_t max_images) override;
  sdkabi::StopResult Stop() override;
  bool IsGrabbing() override;
  sdkabi::FramePoll TakeFrame(sdkabi::Clock::time_point now) override;

 private:
  std::shared_ptr<StreamCore> core_;
};

class AravisFrame final : public sdkabi::Frame {
 public:
  AravisFrame(std::shared_ptr<StreamCore> core, ArvBuffer* buffer, uint64_t generation,
              uint64_t block_id)
      : core_(std::move(core)), buffer_(buffer), generation_(generation), block_id_(block_id) {}
  ~AravisFrame() override { core_->GiveBack(buffer_, generation_); }
  AravisFrame(const AravisFrame&) = delete;
  AravisFrame& operator=(const AravisFrame&) = delete;

  sdkabi::FrameInfo Describe() const override;

 private:
  std::shared_ptr<StreamCore> core_;
  ArvBuffer* buffer_;
  uint64_t generation_;
  uint64_t block_id_;
};

}  // namespace arvsdk
