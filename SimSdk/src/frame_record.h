// Delivered frames: the SDK's frame record over one pool buffer.
#pragma once

#include <memory>

#include "camera_sdk.h"
#include "stream_engine.h"

namespace simsdk {

struct SimCamera;

// Makes the record for a frame taken from `pool` and counts it as handed
// out.  Runs with TheSim().mutex held; the pixels are not written yet.
GENICAM_Frame* MakeFrame(PendingFrame pending, std::shared_ptr<BufferPool> pool, SimCamera* camera,
                         bool complete);

// Writes the frame's pixels into its buffer.  Runs without the lock: the
// buffer belongs to this frame alone until release.
void RenderFrameBuffer(GENICAM_Frame* frame);

}  // namespace simsdk
