// A simulated camera's streams as the SDK's backend sees them.
#include <algorithm>

#include "sim_frame.h"
#include "sim_state.h"
#include "stream_engine.h"

namespace simsdk {

StreamImpl::StreamImpl(SimCamera& owner, std::shared_ptr<sdkabi::FrameSignal> signal)
    : camera(&owner) {
  pool->owner = this;
  pool->capacity = std::max<uint32_t>(owner.config.buffer_count, 1);
  pool->signal = std::move(signal);
}

StreamImpl::~StreamImpl() {
  std::lock_guard lock(TheSim().mutex);
  StopStream(*this);
  pool->owner = nullptr;
  auto& list = camera->streams;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

bool StreamImpl::Start(uint64_t limit) {
  std::lock_guard lock(TheSim().mutex);
  if (!camera->Ready() || grabbing) return false;
  StartStream(*this, limit, Clock::now());
  return true;
}

sdkabi::StopResult StreamImpl::Stop() {
  std::lock_guard lock(TheSim().mutex);
  if (!camera->Present()) return sdkabi::StopResult::Failed;
  if (!grabbing) return sdkabi::StopResult::NotGrabbing;
  StopStream(*this);
  return sdkabi::StopResult::Stopped;
}

bool StreamImpl::IsGrabbing() {
  std::lock_guard lock(TheSim().mutex);
  return grabbing;
}

sdkabi::FramePoll StreamImpl::TakeFrame(Clock::time_point now) {
  std::unique_ptr<SimFrame> frame;
  {
    std::lock_guard lock(TheSim().mutex);
    if (!grabbing || !camera->Ready()) return {.stopped = true};
    TakeResult result = simsdk::TakeFrame(*this, now);
    if (!result.have_frame) return {.retry_at = result.retry_at};
    frame = std::make_unique<SimFrame>(std::move(result.frame), pool);
  }
  frame->Render();
  return {.frame = std::move(frame)};
}

std::unique_ptr<sdkabi::Stream> SimCamera::OpenStream(std::shared_ptr<sdkabi::FrameSignal> signal) {
  std::lock_guard lock(TheSim().mutex);
  if (!Ready()) return nullptr;
  // Room first: a stream destroyed here would take the lock again.
  streams.reserve(streams.size() + 1);
  auto stream = std::make_unique<StreamImpl>(*this, std::move(signal));
  streams.push_back(stream.get());
  return stream;
}

}  // namespace simsdk
