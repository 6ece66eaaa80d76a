#include "sim_frame.h"

#include "plan_cache.h"
#include "sim_state.h"

namespace simsdk {

SimFrame::SimFrame(PendingFrame pending, std::shared_ptr<BufferPool> pool)
    : pending_(std::move(pending)), pool_(std::move(pool)) {}

SimFrame::~SimFrame() {
  std::lock_guard lock(TheSim().mutex);
  ReturnBuffer(pool_, std::move(pending_.buffer));
}

void SimFrame::Render() {
  const auto plan = CachedPlan(pending_.layout, *pending_.format);
  pending_.buffer->bytes.resize(plan->bytes());
  plan->Render(pending_.number, pending_.buffer->bytes.data());
}

sdkabi::FrameInfo SimFrame::Describe() const {
  const FrameLayout& layout = pending_.layout;
  return {pending_.buffer->bytes.data(),
          static_cast<uint32_t>(FrameBytes(layout, *pending_.format)),
          layout.width,
          layout.height,
          pending_.format->code,
          layout.padding_x,
          layout.padding_y,
          pending_.number,
          true};
}

}  // namespace simsdk
