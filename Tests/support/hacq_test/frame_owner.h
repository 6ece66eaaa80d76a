// Owns one SDK frame and releases it at the end of its scope.
#pragma once

#include "camera_sdk.h"

namespace hacq_test {

struct FrameOwner {
  GENICAM_Frame* frame = nullptr;
  FrameOwner() = default;
  FrameOwner(FrameOwner&& other) noexcept : frame(other.frame) { other.frame = nullptr; }
  FrameOwner& operator=(FrameOwner&&) = delete;
  ~FrameOwner() { Release(); }
  void Release() {
    if (frame) frame->release(frame);
    frame = nullptr;
  }
};

}  // namespace hacq_test
