// The parameter tests' fixture: two cameras with every feature at a known
// value and limit, and short forms of the driver's parameter calls.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "base/records.h"
#include "hacq_test/interface_test.h"

namespace sdkabi {
// Readable failure messages for the write log.
inline void PrintTo(const LogEntry& entry, std::ostream* out) {
  *out << entry.feature << "=" << entry.value << (entry.accepted ? "" : " (refused)");
}
}  // namespace sdkabi

namespace parameter_test {

using hacq_test::SdkControls;
using hostlayer::Value;
using sdkabi::LogEntry;
using Values = std::vector<Value>;

inline constexpr char kKey[] = "PARAM-CAM";
inline constexpr char kColorKey[] = "PARAM-RGB";

class ParameterTest : public hacq_test::InterfaceTest {
 protected:
  // A 640 x 480 Mono8 camera (sensor 1280 x 960, Width increment 16);
  // `color` makes it a BayerRG8 camera, which opens with three channels.
  static simsdk::CameraConfig TestCamera(const std::string& key, bool color = false) {
    simsdk::CameraConfig camera = simsdk::DefaultCameras().at(color ? 1 : 0);
    camera.key = key;
    camera.name = color ? "Param RGB" : "Param Cam";
    camera.width = {640, 16, 1280, 16};
    camera.height = {480, 2, 960, 2};
    camera.pixel_format = color ? simsdk::EnumFeature{"BayerRG8", {"BayerRG8", "Mono8", "RGB8"}}
                                : simsdk::EnumFeature{"Mono8", {"Mono8", "Mono10", "BayerRG8"}};
    camera.reverse_x = camera.reverse_y = camera.acquisition_frame_rate_enable = {false};
    camera.acquisition_frame_rate = {30.0, 1.0, 120.0};
    camera.exposure_auto = {"Off", {"Off", "Continuous"}};
    camera.exposure_time = {1000.0, 10.0, 100000.0};
    camera.trigger_mode = {"Off", {"Off", "On"}};
    camera.trigger_selector = {"FrameStart", {"FrameStart"}};
    camera.trigger_source = {"Line1", {"Software", "Line1"}};
    camera.gain_raw = {1.0, 0.0, 16.0};
    camera.gamma = {1.0, 0.1, 4.0};
    camera.contrast = {0, -48, 48, 4};
    camera.contrast_mode = {"Off", {"Off", "On"}};
    camera.device_user_id = {"cam-a"};
    camera.max_frame_rate = 0;
    return camera;
  }

  void SetUp() override {
    InterfaceTest::SetUp();
    UseCameras({TestCamera(kKey), TestCamera(kColorKey, true)});
  }

  // The answer of a read that must succeed (the test fails otherwise).
  static Values Get(hostlayer::Instance& inst, const std::string& name) {
    Values values;
    EXPECT_EQ(inst.GetParam(name, &values), H_MSG_OK) << name;
    return values;
  }
  static InstanceRecord& Record(hostlayer::Instance& inst) { return *inst.raw()->inst_data; }
  // Feature writes and commands the camera saw since the last clear.
  static std::vector<LogEntry> Writes() { return SdkControls().WriteLog(kKey); }
};

}  // namespace parameter_test
