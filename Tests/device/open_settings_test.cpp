// What a successful open reads and computes: generic parameters, geometry,
// buffer sizes, colour space, trigger state, and bounded copies of what the
// camera reports.
#include <cstring>
#include <string>
#include <vector>

#include "device_test_util.h"

namespace {

using device_test::Camera;
using device_test::Record;
using hacq_test::DefaultParams;
using hacq_test::kColorKey;
using hacq_test::kMonoKey;
using hostlayer::Value;

class OpenSettingsTest : public hacq_test::InterfaceTest {};

struct GenericCase {
  std::vector<Value> generic;
  Herror expected;
  int32_t buffers;      // when the open succeeds
  const char* message;  // IOPrintErrorMessage text, or null
};

// Catches a wrong number of frame buffers, a parser that takes the second
// "=" or a later value first, a missing or wrong message, and messages
// printed while HDoLowError is off.
TEST_F(OpenSettingsTest, GenericParametersSetBufferCount) {
  const std::string long_text(1100, 'x');
  const char* const invalid = "Invalid value for Generic parameter 'num_buffers'!";
  const GenericCase cases[] = {
      {{int64_t{-1}}, H_MSG_OK, 2, nullptr},
      {{-1.0}, H_MSG_OK, 2, nullptr},
      {{}, H_MSG_OK, 2, nullptr},
      {{std::string("num_buffers=5")}, H_MSG_OK, 5, nullptr},
      {{std::string("num_buffers= +4")}, H_MSG_OK, 4, nullptr},
      {{std::string("x=3 num_buffers")}, H_MSG_OK, 3, nullptr},
      {{std::string(""), std::string("num_buffers=3")}, H_MSG_OK, 3, nullptr},
      {{std::string("num_buffers=3"), std::string("num_buffers=4")}, H_MSG_OK, 4, nullptr},
      {{std::string("num_buffers=6")}, H_ERR_FGPARV, 0, invalid},
      {{std::string("num_buffers=1")}, H_ERR_FGPARV, 0, invalid},
      {{std::string("num_buffers=abc")}, H_ERR_FGPARV, 0, invalid},
      {{std::string("num_buffers=99999999999999999999")}, H_ERR_FGPARV, 0, invalid},
      {{std::string("num_buffers")},
       H_ERR_FGPARV,
       0,
       "No argument for Generic parameter 'num_buffers' found!"},
      {{std::string("buffers=3")}, H_ERR_FGPARAM, 0, "Wrong parameter input: buffers=3!"},
      {{std::string("NUM_BUFFERS=3")}, H_ERR_FGPARAM, 0, "Wrong parameter input: NUM_BUFFERS=3!"},
      {{long_text}, H_ERR_FGPARAM, 0, "Wrong parameter input for Generic!"},
      {{int64_t{3}}, H_ERR_FGPART, 0, "Generic parameter accepts only string values!"},
      {{std::string("num_buffers=3"), 2.5},
       H_ERR_FGPART,
       0,
       "Generic parameter accepts only string values!"},
  };
  for (const bool low_error : {false, true}) {
    for (const GenericCase& c : cases) {
      SCOPED_TRACE(testing::Message() << "case " << (&c - cases) << " low error " << low_error);
      hostlayer::Reset();
      hostlayer::SetDoLowError(low_error);
      const int64_t blocks_before = hostlayer::Memory().live_blocks;
      hostlayer::OpenParams params = DefaultParams(kMonoKey);
      params.generic = c.generic;
      std::unique_ptr<hostlayer::Instance> instance;
      EXPECT_EQ(TryOpen(params, &instance), c.expected);
      if (c.expected == H_MSG_OK) {
        ASSERT_TRUE(instance);
        EXPECT_EQ(Record(*instance).num_buffers, c.buffers);
        // One board and one block per buffer.
        EXPECT_EQ(hostlayer::Memory().live_blocks - blocks_before, 1 + c.buffers);
      } else {
        EXPECT_EQ(hostlayer::Memory().live_blocks, blocks_before);
        EXPECT_FALSE(hacq_test::SdkControls().IsConnected(kMonoKey));
      }
      const auto messages = hostlayer::ErrorMessages();
      if (low_error && c.message != nullptr) {
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], c.message);
      } else {
        EXPECT_TRUE(messages.empty());
      }
    }
  }
}

struct GeometryCase {
  int64_t horizontal, vertical, width, height, row, column;
  Herror expected;
  int32_t out_horizontal, out_vertical, out_width, out_height;
  int64_t mode;
};

// Catches wrong divisors, a full-size value not read as divisor 1, an image
// size not filled in from the start offsets, and a part outside the sensor
// that is accepted.
TEST_F(OpenSettingsTest, GeometryFollowsDivisorsAndImagePart) {
  const auto state = simsdk::CameraState(kMonoKey);
  ASSERT_TRUE(state);
  const int32_t w = static_cast<int32_t>(state->width.value);
  const int32_t h = static_cast<int32_t>(state->height.value);
  const GeometryCase cases[] = {
      {1, 1, 0, 0, 0, 0, H_MSG_OK, w, h, w, h, 0},
      {w, h, 0, 0, 0, 0, H_MSG_OK, w, h, w, h, 0},
      {2, 1, 0, 0, 0, 0, H_MSG_OK, w / 2, h, w / 2, h, 3},
      {4, 4, 0, 0, 0, 0, H_MSG_OK, w / 4, h / 4, w / 4, h / 4, 3},
      {1, 1, 0, 0, 5, 10, H_MSG_OK, w, h, w - 20, h - 10, 0},
      {1, 1, 100, 50, 20, 30, H_MSG_OK, w, h, 100, 50, 0},
      {3, 1, 0, 0, 0, 0, H_ERR_FGWR, 0, 0, 0, 0, 0},
      {1, 8, 0, 0, 0, 0, H_ERR_FGWR, 0, 0, 0, 0, 0},
      {1, 1, w - 5, 0, 0, 10, H_ERR_FGWP, 0, 0, 0, 0, 0},
      {2, 1, w / 2 + 1, 0, 0, 0, H_ERR_FGWP, 0, 0, 0, 0, 0},
      {1, 1, 0, h + 1, 0, 0, H_ERR_FGWP, 0, 0, 0, 0, 0},
      {1, 1, 50, 0, 0, -10, H_ERR_FGWP, 0, 0, 0, 0, 0},
      {1, 1, 0, 0, h, 0, H_ERR_FGWP, 0, 0, 0, 0, 0},
  };
  for (const GeometryCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    hostlayer::OpenParams params = DefaultParams(kMonoKey);
    params.horizontal_resolution = c.horizontal;
    params.vertical_resolution = c.vertical;
    params.image_width = c.width;
    params.image_height = c.height;
    params.start_row = c.row;
    params.start_column = c.column;
    std::unique_ptr<hostlayer::Instance> instance;
    ASSERT_EQ(TryOpen(params, &instance), c.expected);
    if (c.expected != H_MSG_OK) continue;
    const FGInstance& fginst = *instance->raw();
    EXPECT_EQ(fginst.width_max, w);
    EXPECT_EQ(fginst.height_max, h);
    EXPECT_EQ(fginst.horizontal_resolution, c.out_horizontal);
    EXPECT_EQ(fginst.vertical_resolution, c.out_vertical);
    EXPECT_EQ(fginst.image_width, c.out_width);
    EXPECT_EQ(fginst.image_height, c.out_height);
    EXPECT_EQ(fginst.resolution_mode, c.mode);
  }
}

struct ColourCase {
  const char* pixel_format;
  const char* color_space;
  Herror expected;
  int32_t channels;
};

// Catches a mono list that is incomplete or too wide (Mono16 is colour by
// the rule), a case-sensitive "rgb", and an unknown colour space accepted.
TEST_F(OpenSettingsTest, ColourSpaceFollowsPixelFormat) {
  const ColourCase cases[] = {
      {"Mono8", "default", H_MSG_OK, 1},        {"Mono10", "default", H_MSG_OK, 1},
      {"Mono12", "default", H_MSG_OK, 1},       {"Mono10Packed", "default", H_MSG_OK, 1},
      {"Mono12Packed", "default", H_MSG_OK, 1}, {"Mono16", "default", H_MSG_OK, 3},
      {"BayerRG8", "DEFAULT", H_MSG_OK, 3},     {"Mono8", "RGB", H_MSG_OK, 3},
      {"BayerRG8", "Gray", H_MSG_OK, 1},        {"Mono8", "yuv", H_ERR_FGCS, 0},
  };
  for (const ColourCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.pixel_format << " / " << c.color_space);
    simsdk::CameraConfig camera = Camera("CAM", "");
    camera.pixel_format.entries = {"Mono8",        "Mono10", "Mono12",  "Mono10Packed",
                                   "Mono12Packed", "Mono16", "BayerRG8"};
    camera.pixel_format.value = c.pixel_format;
    UseCameras({camera});
    hostlayer::OpenParams params = DefaultParams("CAM");
    params.color_space = std::string(c.color_space);
    std::unique_ptr<hostlayer::Instance> instance;
    ASSERT_EQ(TryOpen(params, &instance), c.expected);
    if (c.expected != H_MSG_OK) continue;
    const InstanceRecord& record = Record(*instance);
    EXPECT_EQ(instance->raw()->num_channels, c.channels);
    EXPECT_STREQ(record.pixel_formats[record.pixel_format_index], c.pixel_format);
    EXPECT_EQ(record.pixel_format_count, 7);
  }
}

// Catches an open that writes more than automatic exposure and contrast
// mode (the trigger configuration included), reads the camera's values
// into the wrong fields, or reads the trigger state from the wrong feature.
TEST_F(OpenSettingsTest, ReadsCameraValuesAndSwitchesAutomaticsOff) {
  const char* const triggers[][3] = {{"Off", "Software", "continuous"},
                                     {"On", "Software", "software_trigger"},
                                     {"On", "Line1", "line_trigger"}};
  for (const auto& [mode, source, expected_mode] : triggers) {
    SCOPED_TRACE(expected_mode);
    simsdk::CameraConfig camera = Camera("CAM", "");
    camera.exposure_time.value = 1234.5;
    camera.gain_raw.value = 2.25;
    camera.gamma.value = 0.8;
    camera.contrast.value = 17;
    camera.reverse_x.value = true;
    camera.device_user_id.value = "line 3 left";
    camera.exposure_auto.value = "Continuous";
    camera.contrast_mode.value = "On";
    camera.trigger_mode.value = mode;
    camera.trigger_source.value = source;
    UseCameras({camera});
    auto instance = OpenOk("CAM");
    ASSERT_TRUE(instance);
    const InstanceRecord& record = Record(*instance);
    EXPECT_STREQ(record.TriggerMode, expected_mode);
    EXPECT_DOUBLE_EQ(record.ExposureTime, 1234.5);
    EXPECT_DOUBLE_EQ(record.GainRaw, 2.25);
    EXPECT_DOUBLE_EQ(record.Gamma, 0.8);
    EXPECT_EQ(record.Contrast, 17);
    EXPECT_EQ(record.ReverseX, 1);
    EXPECT_EQ(record.ReverseY, 0);
    EXPECT_STREQ(record.DeviceUserID, "line 3 left");
    EXPECT_EQ(record.num_buffers, 2);
    EXPECT_EQ(record.grab_timeout, 5000);
    EXPECT_TRUE(record.start_async_after_grab_async);
    EXPECT_NE(record.cancel_mutex, nullptr);
    const auto state = simsdk::CameraState("CAM");
    ASSERT_TRUE(state);
    EXPECT_EQ(state->exposure_auto.value, "Off");
    EXPECT_EQ(state->contrast_mode.value, "Off");
    for (const auto& write : hacq_test::SdkControls().WriteLog("CAM")) {
      EXPECT_TRUE(write.feature == "ExposureAuto" || write.feature == "ContrastMode")
          << write.feature;
    }
  }
}

// Catches writes past the record's fields: overlong pixel-format names,
// more formats than the list holds, an overlong DeviceUserID (the sanitizer
// build sees the overrun; the checks see the cut).
TEST_F(OpenSettingsTest, OverlongCameraTextsAreCut) {
  simsdk::CameraConfig camera = Camera("CAM", "");
  camera.pixel_format.entries.clear();
  for (int i = 0; i < 300; ++i) {
    camera.pixel_format.entries.push_back("Format" + std::to_string(i) + std::string(300, 'x'));
  }
  camera.pixel_format.value = camera.pixel_format.entries[10];
  camera.device_user_id.value = std::string(1500, 'u');
  UseCameras({camera});
  auto instance = OpenOk("CAM");
  ASSERT_TRUE(instance);
  const InstanceRecord& record = Record(*instance);
  EXPECT_LE(record.pixel_format_count, 256);
  for (int i = 0; i < record.pixel_format_count; ++i) {
    EXPECT_LT(strnlen(record.pixel_formats[i], sizeof record.pixel_formats[i]),
              sizeof record.pixel_formats[i]);
  }
  EXPECT_EQ(std::strlen(record.DeviceUserID), 1023u);
  EXPECT_EQ(instance->raw()->num_channels, 3);
}

// Catches use of a node the SDK did not make: the open succeeds and the
// features they serve are skipped.
TEST_F(OpenSettingsTest, MissingNamedNodesAreSkipped) {
  simsdk::CameraConfig camera = Camera("CAM", "");
  camera.contrast_mode.present = false;
  camera.device_user_id.value = "kept";
  UseCameras({camera});
  {
    auto first = OpenOk("CAM");
    ASSERT_TRUE(first);
    EXPECT_STREQ(Record(*first).DeviceUserID, "kept");
  }
  hacq_test::SdkControls().InjectFault("CAM", sdkabi::FaultPoint::CreateEnumNode);
  hacq_test::SdkControls().InjectFault("CAM", sdkabi::FaultPoint::CreateStringNode);
  auto second = OpenOk("CAM");
  ASSERT_TRUE(second);
  // Not read this time: the record keeps what it held.
  EXPECT_STREQ(Record(*second).DeviceUserID, "kept");
}

// Catches an open that stops on an unreadable format list instead of
// showing the box and going on.
TEST_F(OpenSettingsTest, UnreadableFormatListIsShownAndPassed) {
  hacq_test::SdkControls().InjectFault(kMonoKey, sdkabi::FaultPoint::EnumList);
  std::unique_ptr<hostlayer::Instance> instance;
  Herror status = 0;
  const auto output =
      device_test::Capture([&] { status = TryOpen(DefaultParams(kMonoKey), &instance); });
  EXPECT_EQ(status, H_MSG_OK);
  EXPECT_NE(output.err.find("FGOpen: get pixelFormat list fail"), std::string::npos);
}

}  // namespace
