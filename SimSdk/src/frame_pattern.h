// Encoding of the published frame formula into a frame's memory layout.
#pragma once

#include <cstdint>

#include "pixvane/pixel_formats.h"
#include "sim_control.h"

namespace simsdk {

// Bytes of one frame of `layout` in `format`, padding included; 0 when the
// size does not fit the SDK's 32-bit size or the image is empty.
uint64_t FrameBytes(const FrameLayout& layout, const pixvane::PixelFormatInfo& format);

// Writes every byte of frame `frame` into dst (FrameBytes bytes).
void RenderInto(const FrameLayout& layout, const pixvane::PixelFormatInfo& format, uint64_t frame,
                uint8_t* dst);

// Turns a rendering of any frame of the same layout into frame `to` by
// rewriting the one row that carries the frame number.
void Restamp(const FrameLayout& layout, const pixvane::PixelFormatInfo& format, uint64_t to,
             uint8_t* dst);

}  // namespace simsdk
