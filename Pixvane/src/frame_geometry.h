// Checks a caller's frame description before any byte of it is read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "conversion.h"
#include "pixvane/pixel_formats.h"

namespace pixvane {

// Results of the converters besides 0 (success).
enum ConvertStatus : int32_t {
  kConvertOk = 0,
  kConvertNullArgument = 1,
  kConvertEmptyImage = 2,
  kConvertUnknownFormat = 3,
  kConvertSourceTooSmall = 4,
  kConvertImageTooLarge = 5,
  kConvertOutOfMemory = 6,
  kConvertInternalError = 7,
};

struct Frame {
  const PixelFormatInfo* format;
  const uint8_t* src;
  uint32_t width;
  uint32_t height;
  size_t row_bytes;   // one row's pixels in the source layout
  size_t src_stride;  // row_bytes plus the row padding
};

// Fills `frame` when `info` describes a source that `src` (data_size bytes)
// fully holds and whose output of `out_channels` bytes per pixel fits an
// int32 length.  The padding after the last row (frame_extra_2) need not be
// present, but every row's padding must be, the last row's included.
ConvertStatus DescribeFrame(const uint8_t* src, const ConversionInfo* info, uint32_t out_channels,
                            Frame& frame);

}  // namespace pixvane
