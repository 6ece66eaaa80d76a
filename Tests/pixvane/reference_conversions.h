// Expected outputs computed straight from a scene's pixel values, without
// any of the library's code: the oracle for the format tests.
#pragma once

#include <cstdint>
#include <vector>

#include "pixvane/pixel_formats.h"
#include "test_frames.h"

namespace pixvane_test {

struct Expected {
  std::vector<uint8_t> pixels;
  int tolerance;  // 0 where the rule is exact, 1 where rounding may differ
};

Expected ReferenceMono8(const Scene& scene, const pixvane::PixelFormatInfo& format);
Expected ReferenceBgr24(const Scene& scene, const pixvane::PixelFormatInfo& format);

}  // namespace pixvane_test
