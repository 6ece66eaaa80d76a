// The built-in camera set used by the tool and the quick start.
#include "sim_control.h"

namespace simsdk {
namespace {

// Features both cameras share; each camera then sets its own sensor.
CameraConfig CommonFeatures() {
  CameraConfig c;
  c.reverse_x = {false, true};
  c.reverse_y = {false, true};
  c.acquisition_frame_rate = {10.0, 0.1, 60.0, true};
  c.acquisition_frame_rate_enable = {false, true};
  c.exposure_auto = {"Continuous", {"Off", "Once", "Continuous"}, true};
  c.exposure_time = {10000.0, 20.0, 1000000.0, true};
  c.trigger_mode = {"Off", {"Off", "On"}, true};
  c.trigger_selector = {"FrameStart", {"AcquisitionStart", "FrameStart"}, true};
  c.trigger_source = {"Software", {"Software", "Line1", "Line2"}, true};
  c.trigger_software = {true};
  c.gain_raw = {1.0, 1.0, 32.0, true};
  c.gamma = {1.0, 0.1, 4.0, true};
  c.contrast = {50, 0, 100, 1, true};
  c.contrast_mode = {"Off", {"Off", "On"}, true};
  c.device_user_id = {"", true};
  c.buffer_count = 4;
  return c;
}

}  // namespace

std::vector<CameraConfig> DefaultCameras() {
  CameraConfig mono = CommonFeatures();
  mono.key = "MONO-2448";
  mono.name = "Mono Cam";
  mono.vendor = "Tervixmd";
  mono.model = "TX-2448M";
  mono.serial = "TX24480001";
  mono.width = {2448, 16, 2448, 16, true};
  mono.height = {2048, 2, 2048, 2, true};
  mono.pixel_format = {
      "Mono8", {"Mono8", "Mono10", "Mono12", "Mono10Packed", "Mono12Packed", "Mono16"}, true};
  mono.max_frame_rate = 35.0;

  CameraConfig colour = CommonFeatures();
  colour.key = "COLOR-1920";
  colour.name = "ColorCam1";
  colour.vendor = "Tervixmd";
  colour.model = "TX-1920C";
  colour.serial = "TX19200002";
  colour.width = {1920, 32, 1920, 8, true};
  colour.height = {1200, 2, 1200, 2, true};
  colour.pixel_format = {
      "BayerRG8",
      {"BayerRG8", "BayerRG10", "BayerRG12", "RGB8", "BGR8", "YUV422_8", "Mono8"},
      true};
  colour.acquisition_frame_rate = {30.0, 1.0, 60.0, true};
  colour.gain_raw = {0.0, 0.0, 24.0, true};
  colour.device_user_id = {"line-3", true};
  colour.max_frame_rate = 60.0;
  return {mono, colour};
}

}  // namespace simsdk
