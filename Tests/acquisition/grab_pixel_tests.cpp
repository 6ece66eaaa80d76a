// Delivered pixels through the host driver and the simulated cameras,
// predicted from the simulator's frame formula and the conversion library.
#include <cstdlib>

#include "grab_fixture.h"

namespace acqtest {
namespace {

using hostlayer::Images;

struct GrabRun {
  std::string name;
  const char* key;
  const char* pixel_format;  // null: the camera's own
  const char* color_space;   // as the application writes it
  bool rgb;
  int frames;
  Part part = {};  // asked for as the open's image part and divisors
  bool async = false;
  bool native_size = false;
};

// Small frames run 1000 grabs by default.  At the cameras' own sizes each
// grab and its prediction cost milliseconds, so those runs are short unless
// HACQ_ACQ_SOAK_FRAMES asks for more (1000 for the full soak).
int SoakFrames(bool native_size) {
  const char* soak = std::getenv("HACQ_ACQ_SOAK_FRAMES");
  if (soak != nullptr) return std::atoi(soak);
  return native_size ? 20 : 1000;
}

std::vector<GrabRun> AllRuns() {
  std::vector<GrabRun> runs = {
      // clang-format off
      // Conversion paths beside the cameras' own (the plain copy and Bayer
      // to gray run long below): gray widened to three equal planes,
      // capitals taken as rgb, the library to gray and to blue-green-red
      // triples, and red landing in image 0.
      {"mono8_RGB", kMonoKey, "Mono8", "RGB", true, 3},
      {"mono10_default", kMonoKey, "Mono10", "default", false, 3},
      {"mono10_rgb", kMonoKey, "Mono10", "rgb", true, 3},
      {"mono12packed_default", kMonoKey, "Mono12Packed", "default", false, 3},
      {"bayer_default", kColorKey, "BayerRG8", "default", true, 3},
      {"rgb8_rgb", kColorKey, "RGB8", "rgb", true, 3},
      {"yuv_rgb", kColorKey, "YUV422_8", "rgb", true, 3},
      // Image parts and divisors, crossing the scene's band and bar edges so
      // a shift either way shows, down to one column, one row, one pixel.
      {"part_rgb_from_mono", kMonoKey, nullptr, "rgb", true, 2, {20, 10, 20, 8, 1, 1}},
      {"quarter_columns_part", kMonoKey, nullptr, "gray", false, 2, {10, 20, 20, 2, 1, 4}},
      {"bayer_half", kColorKey, nullptr, "gray", false, 2, {32, 24, 0, 0, 2, 2}},
      {"one_column", kMonoKey, nullptr, "gray", false, 2, {1, 10, 20, 63, 1, 1}},
      {"one_column_bayer", kColorKey, nullptr, "gray", false, 2, {1, 10, 20, 63, 1, 1}},
      {"one_row_bayer", kColorKey, nullptr, "gray", false, 2, {20, 1, 47, 8, 1, 1}},
      {"one_pixel_half", kMonoKey, nullptr, "rgb", true, 2, {1, 1, 23, 31, 2, 2}},
      // clang-format on
  };
  // Long runs in each camera's own path.
  for (const bool native_size : {false, true})
    for (const char* key : {kMonoKey, kColorKey})
      for (const char* color_space : {"gray", "rgb"})
        for (const bool async : {false, true})
          runs.push_back({std::string(key == std::string(kMonoKey) ? "mono" : "color") + "_" +
                              color_space + (async ? "_async" : "_sync") +
                              (native_size ? "_native_size" : "_small"),
                          key, nullptr, color_space, std::string(color_space) == "rgb",
                          SoakFrames(native_size), Part{}, async, native_size});
  return runs;
}

class Grabs : public GrabTest, public testing::WithParamInterface<GrabRun> {};

// Catches a wrong conversion choice (format or colour space), planes in the
// wrong order or changed by the host's cache answer (which only picks the
// loop order of the split), images sheared or taken from the wrong region,
// parts of one column or row refused, lost, repeated, stale or corrupted
// frames over long runs, and leaks that only show after many grabs.
TEST_P(Grabs, EveryPixelAsPredicted) {
  const GrabRun& run = GetParam();
  if (run.native_size) UseCameras(FastCameras(true));
  if (run.pixel_format != nullptr) {
    simsdk::UpdateCamera(run.key, [&](simsdk::CameraConfig& camera) {
      camera.pixel_format.value = run.pixel_format;
    });
  }
  const simsdk::FrameLayout layout = simsdk::LayoutOf(*simsdk::CameraState(run.key));
  Part part = run.part;
  if (run.native_size) {
    part.width = layout.width;
    part.height = layout.height;
  }
  hostlayer::OpenParams params;
  params.horizontal_resolution = part.column_step;
  params.vertical_resolution = part.row_step;
  params.image_width = part.width;
  params.image_height = part.height;
  params.start_row = part.start_row;
  params.start_column = part.start_column;
  auto instance = Open(run.key, run.color_space, params);
  ASSERT_TRUE(instance);
  ResetGrabFlags(*instance);
  if (run.async) {
    ASSERT_EQ(instance->GrabStartAsync(100.0), H_MSG_OK);
  }
  // The stream starts at frame 0 and makes frames as fast as they are
  // asked for, so grab i shows frame i.
  for (int i = 0; i < run.frames; ++i) {
    hostlayer::SetCpuCache(i % 2 == 0 ? 4 : 64);  // both loop orders of the plane split
    Images images;
    ASSERT_EQ(run.async ? instance->GrabAsync(100.0, &images) : instance->Grab(&images), H_MSG_OK)
        << "grab " << i;
    ASSERT_TRUE(PlanesOf(images) == Predict(layout, i, run.rgb, part)) << "grab " << i;
    ASSERT_EQ(images[0].width, int32_t(part.width));
    ASSERT_EQ(images[0].height, int32_t(part.height));
  }
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

INSTANTIATE_TEST_SUITE_P(BuiltInCameras, Grabs, testing::ValuesIn(AllRuns()),
                         [](const auto& param_info) { return param_info.param.name; });

}  // namespace
}  // namespace acqtest
