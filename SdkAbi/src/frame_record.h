// Delivered frames: the SDK's frame record over one backend frame.
#pragma once

#include <memory>

#include "camera_sdk.h"
#include "sdk_abi/backend.h"

namespace sdkabi {

// The record for a frame just taken from a stream of `camera`, counted as
// handed out; an armed InvalidFrame fault marks it incomplete.
GENICAM_Frame* MakeFrameRecord(std::unique_ptr<Frame> frame, Camera& camera);

}  // namespace sdkabi
