// A delivered frame of the simulator: one pool buffer, handed back to its
// pool when the frame is destroyed (also after its stream is gone).
#pragma once

#include <memory>

#include "sdk_abi/backend.h"
#include "stream_engine.h"

namespace simsdk {

class SimFrame final : public sdkabi::Frame {
 public:
  SimFrame(PendingFrame pending, std::shared_ptr<BufferPool> pool);
  // Takes TheSim().mutex to return the buffer.
  ~SimFrame() override;

  // Writes the frame's pixels into its buffer.  Runs without the lock: the
  // buffer belongs to this frame alone until it is destroyed.
  void Render();

  sdkabi::FrameInfo Describe() const override;

 private:
  PendingFrame pending_;
  std::shared_ptr<BufferPool> pool_;
};

}  // namespace simsdk
