// What a grab through the interface should deliver from a simulated
// camera: the simulator's published frame formula converted by the
// conversion library (checked on its own against an independent
// reference), and the built-in cameras set up to deliver small frames
// as fast as they are grabbed.
#pragma once

#include <cstdint>
#include <vector>

#include "conversion.h"
#include "hostlayer/host_driver.h"
#include "sim_control.h"

namespace hacq_test {

inline constexpr uint32_t kWidth = 64;
inline constexpr uint32_t kHeight = 48;

// Which part of the frame an image shows: pixel (r, c) is the frame's
// pixel ((start_row + r) * row_step, (start_column + c) * column_step).
struct Part {
  uint32_t width = kWidth;
  uint32_t height = kHeight;
  uint32_t start_row = 0;
  uint32_t start_column = 0;
  uint32_t row_step = 1;
  uint32_t column_step = 1;
};

// The images a grab should deliver: one gray plane, or red, green, blue.
using Planes = std::vector<std::vector<uint8_t>>;

// Frame `raw` whole as the conversion library makes it: gray bytes, or
// blue-green-red triples; empty when the library refuses the frame.
std::vector<uint8_t> LibraryWhole(const uint8_t* raw, const ConversionInfo& info, bool rgb);
// Images of frame `frame` of `layout` for colour space rgb or gray.
Planes Predict(const simsdk::FrameLayout& layout, uint64_t frame, bool rgb, const Part& part);
// The delivered images as planes.
Planes PlanesOf(const hostlayer::Images& images);
// The built-in cameras at the small size above (or their own), delivering
// as fast as grabbed.
std::vector<simsdk::CameraConfig> FastCameras(bool native_size);

}  // namespace hacq_test
