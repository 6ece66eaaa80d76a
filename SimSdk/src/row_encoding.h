// One row of samples in a pixel format's memory layout.
#pragma once

#include <cstdint>

#include "pixvane/pixel_formats.h"

namespace simsdk {

// Writes pixvane::RowBytes(format, width) bytes for `width` pixels whose
// samples (ChannelsOf(format) per pixel, in DeliveredSample's channel
// order) are in `samples`.
void EncodeRow(const pixvane::PixelFormatInfo& format, const uint16_t* samples, uint32_t width,
               uint8_t* dst);

}  // namespace simsdk
