// Camera sets from JSON and from the TERVIXMD_SIM_CONFIG file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "sdk_fixture.h"

namespace sdktest {
namespace {

const char* const kTwoCameras = R"({"cameras": [
  {"key": "Z-2", "name": "", "vendor": "Acme", "model": "Z", "serial": "002",
   "max_frame_rate": 0, "buffer_count": 7, "padding_x": 4, "padding_y": 16,
   "features": {
     "Width": {"value": 640, "min": 32, "max": 1280, "inc": 32},
     "PixelFormat": {"value": "Mono12Packed", "entries": ["Mono8", "Mono12Packed"]},
     "ReverseY": {"value": true},
     "ContrastMode": {"present": false},
     "TriggerSoftware": {"present": false}}},
  {"key": "A-1", "name": "First Cam"}
]})";

// Catches a loader that reorders cameras, drops identity fields or
// settings, or ignores a feature declared absent.
TEST(CameraJson, ReadsIdentitiesOrderSettingsAndAbsentFeatures) {
  std::string error;
  const auto cameras = simsdk::ParseCameras(kTwoCameras, &error);
  ASSERT_TRUE(cameras) << error;
  ASSERT_EQ(cameras->size(), 2u);
  const simsdk::CameraConfig& z = (*cameras)[0];
  EXPECT_EQ(z.key, "Z-2");
  EXPECT_EQ(z.name, "");
  EXPECT_EQ(z.buffer_count, 7u);
  EXPECT_EQ(z.padding_y, 16u);
  EXPECT_EQ(z.width.inc, 32);
  EXPECT_EQ(z.pixel_format.value, "Mono12Packed");
  EXPECT_TRUE(z.reverse_y.value);
  EXPECT_FALSE(z.contrast_mode.present);
  EXPECT_FALSE(z.trigger_software.present);
  EXPECT_TRUE(z.gamma.present) << "unlisted features keep the base camera's";
  EXPECT_EQ((*cameras)[1].name, "First Cam");
  EXPECT_EQ((*cameras)[1].height.value, 2048);
}

// Catches malformed sets that load silently (a typo would otherwise give
// a camera the test did not ask for).
TEST(CameraJson, RefusesMalformedSetsAndSaysWhy) {
  struct Case {
    const char* json;
    const char* reason;
  };
  const Case cases[] = {
      {"{", "syntax"},
      {R"([{"name": "no key"}])", "\"key\" is required"},
      {R"([{"key": "A"}, {"key": "A"}])", "duplicate key"},
      {R"([{"key": "A", "features": {"Widht": {"value": 1}}}])", "unknown feature"},
      {R"([{"key": "A", "features": {"Width": {"value": "wide"}}}])", "wrong type"},
      {R"([{"key": "A", "features": {"Width": {"inc": 0}}}])", "must be positive"},
      {R"([{"key": "A", "features": {"PixelFormat": {"entries": ["Mono9"]}}}])",
       "unknown pixel format"},
      {R"([{"key": "A", "buffer_count": 0}])", "at least 1"},
      {R"([{"key": "A", "colour": true}])", "unknown member"},
      {R"({"camera": []})", "unknown member"},
  };
  for (const Case& c : cases) {
    std::string error;
    EXPECT_FALSE(simsdk::ParseCameras(c.json, &error)) << c.json;
    if (std::string(c.reason) != "syntax") {
      EXPECT_NE(error.find(c.reason), std::string::npos) << c.json << " -> " << error;
    }
  }
}

class ConfigFile : public SimTest {
 protected:
  void TearDown() override {
    unsetenv("TERVIXMD_SIM_CONFIG");
    std::remove(path_.c_str());
    SimTest::TearDown();
  }
  void Write(const char* text) { std::ofstream(path_) << text; }
  std::string path_ = ::testing::TempDir() + "sdk_tests_cameras.json";
};

// Catches a Reset that ignores TERVIXMD_SIM_CONFIG, discovery that does not
// follow the file's order, and a failed load that replaces the current set.
TEST_F(ConfigFile, ResetUsesTheFileAndABadFileLeavesTheCurrentSet) {
  Write(kTwoCameras);
  setenv("TERVIXMD_SIM_CONFIG", path_.c_str(), 1);
  simsdk::Reset();
  GENICAM_System* system = nullptr;
  ASSERT_EQ(GENICAM_getSystemInstance(&system), 0);
  GENICAM_Camera* cameras = nullptr;
  uint32_t count = 0;
  ASSERT_EQ(system->discovery(system, &cameras, &count, SDK_DISCOVERY_ALL), 0);
  ASSERT_EQ(count, 2u);
  EXPECT_STREQ(cameras[0].getKey(&cameras[0]), "Z-2");
  EXPECT_STREQ(cameras[1].getKey(&cameras[1]), "A-1");

  Write(R"([{"key": "A", "features": {"Nope": {}}}])");
  std::string error;
  EXPECT_FALSE(simsdk::LoadCamerasFromFile(path_, &error));
  EXPECT_NE(error.find("Nope"), std::string::npos);
  EXPECT_TRUE(simsdk::CameraState("A-1"));
}

}  // namespace
}  // namespace sdktest
