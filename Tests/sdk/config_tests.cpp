// Camera sets from JSON and from the TERVIXMD_SIM_CONFIG file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

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
// settings, ignores a feature declared absent, or leaves the identity of a
// camera given only a key blank.
TEST(CameraJson, ReadsIdentitiesOrderSettingsAndAbsentFeatures) {
  std::string error;
  const auto cameras = simsdk::ParseCameras(kTwoCameras, &error);
  ASSERT_TRUE(cameras) << error;
  ASSERT_EQ(cameras->size(), 2u);
  const simsdk::CameraConfig& z = (*cameras)[0];
  EXPECT_EQ(std::tie(z.key, z.name, z.serial, z.buffer_count, z.padding_y, z.width.inc,
                     z.pixel_format.value),
            std::make_tuple("Z-2", "", "002", 7u, 16u, 32, "Mono12Packed"));
  EXPECT_EQ(std::tie(z.reverse_y.value, z.contrast_mode.present, z.trigger_software.present),
            std::make_tuple(true, false, false));
  EXPECT_TRUE(z.gamma.present) << "unlisted features keep the base camera's";
  const simsdk::CameraConfig& a = (*cameras)[1];
  EXPECT_EQ(std::tie(a.name, a.serial, a.vendor, a.model, a.height.value),
            std::make_tuple("First Cam", "A-1", "Tervixmd", "TX-2448M", 2048));
  // The first and the last character a device string carries.
  const auto bare = simsdk::ParseCameras(R"([{"key": "!K~"}])");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->front().name, "!K~");
}

// Catches an invalid set that loads (a camera the file did not describe,
// or one whose every grab fails), and a refusal that does not say what is
// wrong: one case per kind of fault.
TEST(CameraJson, RefusesEveryKindOfInvalidSetAndSaysWhy) {
  const auto with = [](const std::string& features) {
    return R"([{"key": "A", "features": {)" + features + "}}]";
  };
  // Each set, and what its refusal says.
  const std::pair<std::string, const char*> cases[] = {
      {"{", "parse error at line 1"},
      {R"([{"key": "A", "key": "B"}])", "member \"key\" appears twice"},
      {with(R"("Width": {"value": 64, "value": 32})"), "member \"value\" appears twice"},
      {R"([{"name": "no key"}])", "\"key\" is required"},
      {R"([{"key": ""}])", "\"key\" is blank"},
      {R"([{"key": "A B"}])", "a character a device string cannot carry"},
      {R"([{"key": "A\u0007"}])", "a character a device string cannot carry"},
      {R"([{"key": "Kamera-\u00c4"}])", "a character a device string cannot carry"},
      {R"([{"key": ")" + std::string(1024, 'K') + R"("}])", "longer than 1023 characters"},
      {R"([{"key": "A"}, {"key": "A"}])", "camera 1: duplicate key \"A\""},
      {R"([{"key": "cam"}, {"key": "CAM"}])", "duplicate key \"CAM\""},
      {R"([{"key": 7}])", "wrong type for \"key\""},
      {with(R"("Width": {"value": "wide"})"), "Width: wrong type for \"value\""},
      {with(R"("ReverseX": {"value": 1})"), "wrong type for \"value\""},
      {R"([{"key": "A", "buffer_count": -1}])", "wrong type for \"buffer_count\""},
      {R"([{"key": "A", "buffer_count": 4294967296}])", "\"buffer_count\" is above 4294967295"},
      {with(R"("Width": {"max": 9223372036854775808})"), "\"max\" is above"},
      {R"([{"key": "A", "colour": true}])", "unknown member \"colour\""},
      {R"({"camera": []})", "unknown member \"camera\""},
      {with(R"("Width": {"default": 1})"), "unknown member \"default\""},
      {with(R"("Widht": {"value": 1})"), "unknown feature \"Widht\""},
      {with(R"("PixelFormat": {"entries": ["Mono9"]})"), "unknown pixel format \"Mono9\""},
      {with(R"("Width": {"value": 5000, "max": 640})"), "Width: \"value\" 5000 is outside 16..640"},
      {with(R"("Gamma": {"value": 9})"), "Gamma: \"value\" 9 is outside 0.1..4"},
      {with(R"("ExposureTime": {"min": 100, "max": 50})"), "\"min\" 100 is above \"max\" 50"},
      {with(R"("Width": {"value": 100})"), "not \"min\" plus a multiple of 16"},
      {with(R"("TriggerMode": {"value": "Sometimes"})"), "\"Sometimes\" is not among \"entries\""},
      {with(R"("PixelFormat": {"value": "Mono12", "entries": ["Mono8"]})"), "is not among"},
      {with(R"("TriggerSource": {"entries": []})"), "TriggerSource: \"entries\" is empty"},
      {with(R"("Width": {"inc": 0})"), "\"inc\" must be at least 1"},
      {with(R"("Height": {"min": 0, "value": 0, "inc": 1})"), "Height: \"min\" must be at least 1"},
      {with(R"("Width": {"value": 65536, "max": 65536, "inc": 1},
               "Height": {"value": 65536, "max": 65536})"),
       "a 65536 x 65536 Mono8 frame does not fit"},
      {with(R"("Width": {"max": 4294967295},
               "PixelFormat": {"value": "RGBa8", "entries": ["RGBa8"]})"),
       "a 4294967295 x 2048 RGBa8 frame does not fit"},
      {R"([{"key": "A", "buffer_count": 0}])", "\"buffer_count\" must be at least 1"},
      {R"([{"key": "A", "max_frame_rate": -1}])", "must not be negative"},
      {R"([{"key": "A", "features": []}])", "\"features\" must be an object"},
      {R"({"cameras": 5})", "expected a list of cameras"},
  };
  for (const auto& [json, reason] : cases) {
    std::string error;
    EXPECT_FALSE(simsdk::ParseCameras(json, &error)) << json;
    EXPECT_NE(error.find(reason), std::string::npos) << json << " -> " << error;
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

std::vector<std::string> DiscoveredKeys() {
  std::vector<std::string> keys;
  for (GENICAM_Camera& camera : Discover()) keys.push_back(camera.getKey(&camera));
  return keys;
}

// Catches a Reset that ignores TERVIXMD_SIM_CONFIG, discovery that does not
// follow the file's order, a failed load that replaces the current set,
// and a broken file silently replaced by the built-in cameras or reported
// without the file or the problem.
TEST_F(ConfigFile, ResetLoadsTheFileOrGivesNoCamerasAndOneMessage) {
  Write(kTwoCameras);
  setenv("TERVIXMD_SIM_CONFIG", path_.c_str(), 1);
  simsdk::Reset();
  EXPECT_EQ(DiscoveredKeys(), (std::vector<std::string>{"Z-2", "A-1"}));
  Write(R"([{"key": "A", "features": {"Nope": {}}}])");
  std::string error;
  EXPECT_FALSE(simsdk::LoadCamerasFromFile(path_, &error));
  EXPECT_NE(error.find("Nope"), std::string::npos);
  EXPECT_TRUE(simsdk::CameraState("A-1"));

  // The path, what to write there (null: leave it as it is), and the
  // problem the message names.
  const std::tuple<std::string, const char*, const char*> cases[] = {
      {path_, "[{", "parse error"},
      {::testing::TempDir() + "no_such_cameras.json", nullptr, "cannot open"},
      {::testing::TempDir(), nullptr, "cannot read"},  // a directory
  };
  for (const auto& [path, content, problem] : cases) {
    if (content) Write(content);
    setenv("TERVIXMD_SIM_CONFIG", path.c_str(), 1);
    testing::internal::CaptureStderr();
    simsdk::Reset();
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(DiscoveredKeys().empty()) << path;
    EXPECT_NE(message.find(path), std::string::npos) << message;
    EXPECT_NE(message.find(problem), std::string::npos) << message;
    EXPECT_EQ(message.find('\n'), message.size() - 1) << "one line: " << message;
  }
}

}  // namespace
}  // namespace sdktest
