// The grab's work once a frame has arrived: conversion into the ring
// buffer or the host images, and the images themselves.  Runs on the grab
// thread without the cancel mutex, while the caller keeps the frame's
// stream alive.
#pragma once

#include <cstdint>

#include "acquisition/image_request.h"
#include "acquisition/ring_conversion.h"
#include "bindings/camera_sdk.h"
#include "bindings/host.h"

// Hands a frame back to the SDK when it goes out of scope, unless it was
// handed back earlier: every frame obtained is released exactly once.
class HeldFrame {
 public:
  explicit HeldFrame(GENICAM_Frame* frame) : frame_(frame) {}
  ~HeldFrame() { Release(); }
  HeldFrame(const HeldFrame&) = delete;
  HeldFrame& operator=(const HeldFrame&) = delete;
  GENICAM_Frame* get() const { return frame_; }
  void Release() {
    if (frame_ != nullptr) frame_->release(frame_);
    frame_ = nullptr;
  }

 private:
  GENICAM_Frame* frame_;
};

// Conversion and images for one valid frame: the frame is checked, then
// converted into `slot` and handed back; volatile mode then wraps the slot
// as the image(s), copy mode creates host images and copies (gray) or
// splits (colour) the slot into them.  Copy-mode gray Mono8 frames, which
// cannot fail to convert once checked, go straight into the host image
// instead.  H_MSG_OK, H_ERR_FGTIMEOUT (the frame cannot be converted or does
// not fit) or the host's error.
Herror DeliverFrame(Hproc_handle proc_id, const ImageRequest& request, bool volatile_mode,
                    HeldFrame& frame, RingSlot slot, Himage* image, int32_t* num_image);
