// Renderings of frame 0 per layout, so a buffer that changes layout costs
// one copy instead of a render.  Thread-safe; independent of Sim::mutex.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "pixvane/pixel_formats.h"
#include "sim_control.h"

namespace simsdk {

std::shared_ptr<const std::vector<uint8_t>> CachedRender(const FrameLayout& layout,
                                                         const pixvane::PixelFormatInfo& format);

bool SameLayout(const FrameLayout& a, const FrameLayout& b);

}  // namespace simsdk
