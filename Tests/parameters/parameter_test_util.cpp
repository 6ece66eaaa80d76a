#include "parameter_test_util.h"

namespace parameter_test {

simsdk::CameraConfig TestCamera(const std::string& key, bool color) {
  simsdk::CameraConfig camera = simsdk::DefaultCameras().at(color ? 1 : 0);
  camera.key = key;
  camera.name = color ? "Param RGB" : "Param Cam";
  camera.width = {640, 16, 1280, 16};
  camera.height = {480, 2, 960, 2};
  camera.pixel_format = color ? simsdk::EnumFeature{"BayerRG8", {"BayerRG8", "Mono8", "RGB8"}}
                              : simsdk::EnumFeature{"Mono8", {"Mono8", "Mono10", "BayerRG8"}};
  camera.reverse_x = {false};
  camera.reverse_y = {false};
  camera.acquisition_frame_rate = {30.0, 1.0, 120.0};
  camera.acquisition_frame_rate_enable = {false};
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

void ParameterTest::SetUp() {
  InterfaceTest::SetUp();
  UseCameras({TestCamera(kKey), TestCamera(kColorKey, true)});
}

Values ParameterTest::Get(hostlayer::Instance& inst, const std::string& name) {
  Values values;
  const Herror status = inst.GetParam(name, &values);
  EXPECT_EQ(status, H_MSG_OK) << name;
  return values;
}

void ParameterTest::ResetGrabFlags(hostlayer::Instance& inst) {
  ASSERT_EQ(Set(inst, "do_abort_grab", int64_t{1}), H_MSG_OK);
  hostlayer::Images images;
  ASSERT_EQ(inst.Grab(&images), H_MSG_OK);  // clears a pending stop
  // This set asks the next grab to stop, which leaves the stream stopped.
  ASSERT_EQ(Set(inst, "grab_timeout", int64_t{5000}), H_MSG_OK);
  ASSERT_EQ(inst.Grab(&images), H_MSG_OK);
}

}  // namespace parameter_test
