// Bringing one frame into a frame buffer as the image the open parameters
// ask for: 8-bit gray, or blue-green-red triples.  Runs on the grab thread
// without the cancel mutex; the caller keeps the frame (and the stream that
// gave it) alive and releases the frame afterwards.
#pragma once

#include <cstdint>

#include "camera_sdk.h"
#include "host.h"
#include "image_request.h"

// One frame buffer of the instance's ring and its size in bytes.
struct FrameBuffer {
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

// Refuses, with 5306 and a line on standard output, a frame that is
// shorter than its width and height say, does not hold the requested image
// part, or is larger than `buffer` (the ring buffer the open sized for the
// largest frame).  2 when the frame can be converted.
Herror CheckFrame(const ImageRequest& request, const FrameView& frame, FrameBuffer buffer);

// Writes the requested image of a frame CheckFrame accepted into `out`
// (request.channels 1: gray; 3: blue, green, red per pixel; the open makes
// num_channels 3 exactly when it resolved the colour space to rgb, in any
// letter case).  Mono8 frames are copied or widened here and cannot fail;
// other formats go through the conversion library, which may refuse them
// (5306).  Nothing is read outside the frame's data or written outside
// the image's request.width * request.height * request.channels bytes.
Herror ConvertCheckedFrame(const ImageRequest& request, const FrameView& frame, uint8_t* out);
