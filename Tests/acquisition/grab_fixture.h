// Fixture of the grab tests: the shared interface fixture (clean host and
// simulator, leak checks) with the built-in cameras at a small size and an
// unlimited frame rate, and a check that every frame was handed back.  Also the prediction of
// delivered images from the simulator's published frame formula and the conversion library.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "conversion.h"
#include "hacq_test/interface_test.h"
#include "sweep.h"

namespace acqtest {

using reliability::ResetGrabFlags;

using hacq_test::kColorKey;
using hacq_test::kMonoKey;
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

// Frame `raw` whole as the conversion library (checked on its own against
// an independent reference) makes it: gray bytes, or blue-green-red
// triples; empty when the library refuses the frame.
std::vector<uint8_t> LibraryWhole(const uint8_t* raw, const ConversionInfo& info, bool rgb);
// Images of frame `frame` of `layout` for colour space rgb or gray.
Planes Predict(const simsdk::FrameLayout& layout, uint64_t frame, bool rgb, const Part& part);
// The delivered images as planes.
Planes PlanesOf(const hostlayer::Images& images);
// The built-in cameras at the small size above (or their own), delivering
// as fast as grabbed.
std::vector<simsdk::CameraConfig> FastCameras(bool native_size);

class GrabTest : public hacq_test::InterfaceTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Opens `device` with the given colour space and optional open
  // parameters; fails the test when the open does not answer 2.
  std::unique_ptr<hostlayer::Instance> Open(const std::string& device,
                                            const std::string& color_space = "default",
                                            hostlayer::OpenParams params = {});
};

}  // namespace acqtest
