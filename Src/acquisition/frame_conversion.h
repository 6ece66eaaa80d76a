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

// Writes the requested image (request.channels 1: gray; 3: blue, green,
// red per pixel; the open makes num_channels 3 exactly when it resolved the
// colour space to rgb, in any letter case) into buffer.  Mono8 frames are copied or widened here;
// other formats go through the conversion library.  Returns 2, or 5306
// when the frame cannot be converted, is shorter than its width and height
// say, does not hold the requested image part, or is larger than the buffer
// (the last three print a line on standard output).  Nothing is
// read or written outside the frame's data or the buffer.
Herror ConvertFrame(const ImageRequest& request, GENICAM_Frame* frame, FrameBuffer buffer);
