// Delivered pixels through the host driver and the simulated cameras,
// predicted from the simulator's frame formula and the conversion library.
#include <cstdlib>

#include "grab_fixture.h"

namespace acqtest {
namespace {

using hostlayer::Images;

// Small frames run 1000 grabs by default.  At the cameras' own sizes each
// grab and its prediction cost milliseconds, so those runs are short unless
// HACQ_ACQ_SOAK_FRAMES asks for more (1000 for the full soak).
int FramesPerRun(bool native_size) {
  const char* soak = std::getenv("HACQ_ACQ_SOAK_FRAMES");
  if (soak != nullptr) return std::atoi(soak);
  return native_size ? 20 : 1000;
}

struct RunCase {
  const char* key;
  const char* color_space;
  bool async;
  bool native_size;
};

class ThousandFrames : public GrabTest, public testing::WithParamInterface<RunCase> {
 protected:
  // The built-in cameras at their own sizes, delivering as fast as grabbed.
  void UseNativeSizeCameras() {
    std::vector<simsdk::CameraConfig> cameras = simsdk::DefaultCameras();
    for (simsdk::CameraConfig& camera : cameras) {
      camera.max_frame_rate = 0;
      camera.acquisition_frame_rate_enable.value = false;
      camera.trigger_mode.value = "Off";
    }
    UseCameras(cameras);
  }
};

// Catches lost, repeated, stale or corrupted frames over long runs, in each
// camera's native path, and leaks that only show after many grabs.
TEST_P(ThousandFrames, EveryPixelAsPredicted) {
  const RunCase& run = GetParam();
  if (run.native_size) UseNativeSizeCameras();
  auto instance = Open(run.key, run.color_space);
  ASSERT_TRUE(instance);
  const bool rgb = std::string(run.color_space) == "rgb";
  const simsdk::FrameLayout layout = CurrentLayout(run.key);
  Part whole;
  whole.width = layout.width;
  whole.height = layout.height;
  if (run.async) {
    ASSERT_EQ(instance->GrabStartAsync(100.0), H_MSG_OK);
  }
  uint64_t next = 0;
  for (int i = 0; i < FramesPerRun(run.native_size); ++i) {
    Images images;
    ASSERT_EQ(run.async ? instance->GrabAsync(100.0, &images) : instance->Grab(&images), H_MSG_OK)
        << "grab " << i;
    ASSERT_EQ(images.size(), rgb ? 3u : 1u);
    const auto frame = MatchFrame(images, layout, rgb, whole, next);
    ASSERT_TRUE(frame.has_value()) << "grab " << i << " matches no frame";
    ASSERT_GE(*frame, next) << "grab " << i << " delivered an older frame";
    next = *frame + 1;
  }
  EXPECT_EQ(instance->Close(), H_MSG_OK);
}

std::vector<RunCase> AllRuns() {
  std::vector<RunCase> runs;
  for (const bool native_size : {false, true})
    for (const char* key : {kMonoKey, kColorKey})
      for (const char* color_space : {"gray", "rgb"})
        for (const bool async : {false, true})
          runs.push_back(RunCase{key, color_space, async, native_size});
  return runs;
}

INSTANTIATE_TEST_SUITE_P(BuiltInCameras, ThousandFrames, testing::ValuesIn(AllRuns()),
                         [](const testing::TestParamInfo<RunCase>& param_info) {
                           const RunCase& run = param_info.param;
                           return std::string(run.key == std::string(kMonoKey) ? "mono" : "color") +
                                  "_" + run.color_space + (run.async ? "_async" : "_sync") +
                                  (run.native_size ? "_native_size" : "_small");
                         });

struct PathCase {
  const char* key;
  const char* pixel_format;
  const char* color_space;  // as the application writes it
  bool rgb;
};

using ConversionPaths = GrabTest;

// Catches a wrong conversion choice (format or colour space), planes in
// the wrong order, and a colour space in capitals not taken as rgb.
TEST_F(ConversionPaths, EachPathDeliversThePredictedImages) {
  const PathCase cases[] = {
      {kMonoKey, "Mono8", "gray", false},      // plain copy
      {kMonoKey, "Mono8", "rgb", true},        // gray widened, three equal planes
      {kMonoKey, "Mono8", "RGB", true},        // capitals count as rgb
      {kMonoKey, "Mono10", "default", false},  // library to gray
      {kMonoKey, "Mono12Packed", "default", false},
      {kColorKey, "BayerRG8", "default", true},  // library to blue-green-red
      {kColorKey, "BayerRG8", "gray", false},
      {kColorKey, "RGB8", "rgb", true},  // red lands in image 0
      {kColorKey, "YUV422_8", "rgb", true},
  };
  for (const PathCase& tc : cases) {
    SCOPED_TRACE(testing::Message() << tc.key << " " << tc.pixel_format << " " << tc.color_space);
    simsdk::UpdateCamera(
        tc.key, [&](simsdk::CameraConfig& camera) { camera.pixel_format.value = tc.pixel_format; });
    auto instance = Open(tc.key, tc.color_space);
    ASSERT_TRUE(instance);
    const simsdk::FrameLayout layout = CurrentLayout(tc.key);
    uint64_t next = 0;
    for (int i = 0; i < 3; ++i) {
      Images images;
      ASSERT_EQ(instance->Grab(&images), H_MSG_OK);
      const auto frame = MatchFrame(images, layout, tc.rgb, Part{}, next);
      ASSERT_TRUE(frame.has_value()) << "grab " << i;
      next = *frame + 1;
    }
    if (tc.rgb && std::string(tc.pixel_format) == "Mono8") {
      Images images;
      ASSERT_EQ(instance->Grab(&images), H_MSG_OK);
      const Planes planes = PlanesOf(images);
      EXPECT_EQ(planes[0], planes[1]);
      EXPECT_EQ(planes[1], planes[2]);
    }
    EXPECT_EQ(instance->Close(), H_MSG_OK);
  }
}

struct PartCase {
  const char* name;
  const char* key;
  const char* color_space;
  int64_t horizontal_resolution, vertical_resolution;  // open parameters (-1: default)
  int64_t image_width, image_height, start_row, start_column;
  Part expected;
};

using ImageParts = GrabTest;

// Catches images sheared or taken from the wrong region when the open asks
// for an image part or a reduced resolution.  The parts cross the scene's
// band edges and bar edges, so a shift either way shows.
TEST_F(ImageParts, DeliverTheRequestedRegionAndResolution) {
  const PartCase cases[] = {
      {"part gray", kMonoKey, "gray", -1, -1, 20, 10, 20, 8, Part{20, 10, 20, 8, 1, 1}},
      {"part rgb from mono", kMonoKey, "rgb", -1, -1, 20, 10, 20, 8, Part{20, 10, 20, 8, 1, 1}},
      {"half resolution", kMonoKey, "gray", 2, 2, 0, 0, 0, 0, Part{32, 24, 0, 0, 2, 2}},
      {"quarter columns, part", kMonoKey, "gray", 4, 1, 10, 20, 20, 2, Part{10, 20, 20, 2, 1, 4}},
      {"bayer part", kColorKey, "rgb", -1, -1, 16, 12, 20, 5, Part{16, 12, 20, 5, 1, 1}},
      {"bayer half", kColorKey, "gray", 2, 2, 0, 0, 0, 0, Part{32, 24, 0, 0, 2, 2}},
  };
  for (const PartCase& tc : cases) {
    SCOPED_TRACE(tc.name);
    hostlayer::OpenParams params;
    params.horizontal_resolution = tc.horizontal_resolution;
    params.vertical_resolution = tc.vertical_resolution;
    params.image_width = tc.image_width;
    params.image_height = tc.image_height;
    params.start_row = tc.start_row;
    params.start_column = tc.start_column;
    auto instance = Open(tc.key, tc.color_space, params);
    ASSERT_TRUE(instance);
    const bool rgb = std::string(tc.color_space) == "rgb";
    Images images;
    ASSERT_EQ(instance->Grab(&images), H_MSG_OK);
    ASSERT_EQ(images[0].width, int32_t(tc.expected.width));
    ASSERT_EQ(images[0].height, int32_t(tc.expected.height));
    EXPECT_TRUE(MatchFrame(images, CurrentLayout(tc.key), rgb, tc.expected, 0).has_value());
    EXPECT_EQ(instance->Close(), H_MSG_OK);
  }
}

}  // namespace
}  // namespace acqtest
