// Bringing one frame into a buffer of the ring as the image the open
// parameters ask for: 8-bit gray, or blue-green-red triples.  Runs on the
// grab thread without the cancel mutex; the caller keeps the frame (and the
// stream that gave it) alive and releases the frame afterwards.
#pragma once

#include <cstdint>

#include "acquisition/image_request.h"
#include "bindings/camera_sdk.h"
#include "bindings/host.h"

// One buffer of the instance's ring and its size in bytes.
struct RingSlot {
  uint8_t* data;
  int64_t size;
};

// What the SDK says of a frame, read once.
struct FrameView {
  const uint8_t* data;
  uint64_t size;
  uint32_t width;
  uint32_t height;
  uint32_t pixel_format;
  uint32_t padding_x;  // bytes after each row
  uint32_t padding_y;  // bytes after the image
};

FrameView ViewOf(GENICAM_Frame* frame);

// Refuses, with H_ERR_FGTIMEOUT and a line on standard output, a frame
// that is shorter than its width and height say, does not hold the
// requested image part, or does not fit `slot` whole once converted (the
// open sized the ring for the largest frame; a larger one means the camera
// changed behind the interface's back).  H_MSG_OK when it can be converted.
Herror CheckFrame(const ImageRequest& request, const FrameView& frame, RingSlot slot);

// The requested image of a Mono8 frame CheckFrame accepted, copied or
// widened into `image`, which holds request.width * request.height *
// request.channels bytes.
void CopyMono8(const ImageRequest& request, const FrameView& frame, uint8_t* image);

// The requested image of a frame CheckFrame accepted for `slot`, at the
// start of the slot (request.channels 1: gray; 3: blue, green, red per
// pixel).  Mono8 frames go as CopyMono8 does and cannot fail; other formats
// go through the conversion library, whole frames into the slot, which
// then gives up its part in place.  H_ERR_FGTIMEOUT when the library
// refuses.  Nothing is read outside the frame's data or written outside the
// slot.
Herror ConvertIntoSlot(const ImageRequest& request, const FrameView& frame, uint8_t* slot);
