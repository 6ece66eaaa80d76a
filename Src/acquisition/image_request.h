// What the open parameters ask of every delivered image, read once per grab
// from the host record: pixel (r, c) of the image is the frame's pixel at
// row (start_row + r) * row_step and column (start_column + c) * column_step.
#pragma once

#include <cstdint>

#include "bindings/host.h"

struct ImageRequest {
  int32_t width;   // image_width
  int32_t height;  // image_height
  int32_t start_row;
  int32_t start_column;
  int32_t row_step;     // vertical resolution divisor: 1, 2 or 4
  int32_t column_step;  // horizontal resolution divisor
  int32_t channels;     // num_channels: 1 (gray) or 3 (red, green, blue)
};

// The divisors are those the open derived the resolutions from (the full
// size divided by 1, 2 or 4); a resolution set later as a plain size
// counts as divisor 1.
ImageRequest ReadImageRequest(FGInstance& fginst);

// Bytes of the image in a frame buffer: width * height * channels, or -1
// when the request is empty or negative.
int64_t ImageBytes(const ImageRequest& request);
