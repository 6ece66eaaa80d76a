// What a set request writes to the camera, in which order, and what it
// keeps when the camera or the value is refused.
#include <string>

#include "parameter_test_util.h"

namespace parameter_test {
namespace {

using sdkabi::LogEntry;

class CameraWritesTest : public ParameterTest {};

// Catches a trigger switch that writes the features in another order, writes
// the source for "continuous", goes on after a refused write, reports a
// refused switch as success, or records the mode although the camera
// refused it.
TEST_F(CameraWritesTest, TriggerSwitchesWriteInOrderAndStopAtTheFirstRefusal) {
  struct Case {
    const char* word;
    const char* failing_feature;  // null: no fault
    Herror status;
    std::vector<LogEntry> log;
  };
  // One switch per row: its word, the failing write, the answer and the log.
  // clang-format off
  const Case cases[] = {
      {"software_trigger", nullptr, H_MSG_OK,
       {{"TriggerSource", "Software", true},
        {"TriggerSelector", "FrameStart", true},
        {"TriggerMode", "On", true}}},
      {"line_trigger", nullptr, H_MSG_OK,
       {{"TriggerSource", "Line1", true},
        {"TriggerSelector", "FrameStart", true},
        {"TriggerMode", "On", true}}},
      {"continuous", nullptr, H_MSG_OK,
       {{"TriggerSelector", "FrameStart", true}, {"TriggerMode", "Off", true}}},
      {"software_trigger", "TriggerSource", H_ERR_FGTRIGGER,
       {{"TriggerSource", "Software", false}}},
      {"line_trigger", "TriggerSelector", H_ERR_FGTRIGGER,
       {{"TriggerSource", "Line1", true}, {"TriggerSelector", "FrameStart", false}}},
      {"software_trigger", "TriggerMode", H_ERR_FGTRIGGER,
       {{"TriggerSource", "Software", true},
        {"TriggerSelector", "FrameStart", true},
        {"TriggerMode", "On", false}}},
      {"continuous", "TriggerSelector", H_ERR_FGTRIGGER,
       {{"TriggerSelector", "FrameStart", false}}},
      {"continuous", "TriggerMode", H_ERR_FGTRIGGER,
       {{"TriggerSelector", "FrameStart", true}, {"TriggerMode", "Off", false}}},
  };
  // clang-format on
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  for (const Case& c : cases) {
    ASSERT_EQ(Set(*inst, "TriggerMode", std::string("line_trigger")), H_MSG_OK);
    hacq_test::SdkControls().ClearWriteLog(kKey);
    if (c.failing_feature != nullptr) {
      hacq_test::SdkControls().InjectFault(kKey, sdkabi::FaultPoint::FeatureWrite, 1,
                                           c.failing_feature);
    }
    EXPECT_EQ(Set(*inst, "TriggerMode", std::string(c.word)), c.status) << c.word;
    EXPECT_EQ(Writes(), c.log) << c.word << " failing "
                               << (c.failing_feature ? c.failing_feature : "-");
    const std::string expected = c.status == H_MSG_OK ? c.word : "line_trigger";
    EXPECT_EQ(Get(*inst, "TriggerMode"), Values{expected}) << c.word;
    hacq_test::SdkControls().ClearFaults();
  }
}

// Catches a software trigger whose refusal is reported as success or still
// marks a frame as requested, and one that does not mark it on success.
TEST_F(CameraWritesTest, SoftwareTriggerExecutesOnceAndMarksTheGrab) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  hacq_test::SdkControls().ClearWriteLog(kKey);
  hacq_test::SdkControls().InjectFault(kKey, sdkabi::FaultPoint::CommandExecute, 1);
  EXPECT_EQ(Set(*inst, "do_TriggerSoftware", std::string("x")), H_ERR_FGTRIGGER);
  EXPECT_FALSE(Record(*inst).grab_started);
  hacq_test::SdkControls().ClearWriteLog(kKey);
  EXPECT_EQ(Set(*inst, "do_TriggerSoftware", 0.0), H_MSG_OK);  // also in "continuous"
  EXPECT_TRUE(Record(*inst).grab_started);
  EXPECT_EQ(Writes(), (std::vector<LogEntry>{{"TriggerSoftware", "", true}}));
  EXPECT_EQ(Set(*inst, "do_abort_grab", int64_t{1}), H_MSG_OK);
  EXPECT_FALSE(Record(*inst).grab_started);
}

// Catches a boolean written to the camera although it did not change (a
// needless write can restart a camera's acquisition), or not written when
// it did.
TEST_F(CameraWritesTest, BooleansWriteTheCameraOnlyOnAChange) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  struct Step {
    const char* word;
    Herror status;
    std::vector<LogEntry> log;  // after this step, since the start
  };
  for (const char* name : {"ReverseX", "ReverseY", "AcquisitionFrameRateEnable"}) {
    hacq_test::SdkControls().ClearWriteLog(kKey);
    const Step steps[] = {
        {"False", H_MSG_OK, {}},
        {"TRUE", H_MSG_OK, {{name, "true", true}}},
        {"True", H_MSG_OK, {{name, "true", true}}},
        {"maybe", H_ERR_FGPARV, {{name, "true", true}}},
        {"false", H_MSG_OK, {{name, "true", true}, {name, "false", true}}},
    };
    for (const Step& step : steps) {
      EXPECT_EQ(Set(*inst, name, std::string(step.word)), step.status) << name << step.word;
      EXPECT_EQ(Writes(), step.log) << name << " after " << step.word;
    }
    EXPECT_EQ(Get(*inst, name), Values{std::string("False")});
  }
}

// Catches a cache that takes a value the camera refused (a later read
// would report a setting the camera never had), a refusal reported as
// success, a value clamped or rounded before the camera sees it, and an
// image size that follows a refused Width or Height.
TEST_F(CameraWritesTest, CameraRefusalFailsTheSetAndKeepsTheCache) {
  struct Case {
    const char* name;
    Value refused;
    bool by_fault;     // the value fits; the camera refuses it by injection
    const char* sent;  // the refused write as the camera logs it
    Value old_value;
    Value accepted;
    Value read_back;
  };
  const Case cases[] = {
      {"ExposureTime", 150000.0, false, "150000", 1000.0, 2000.5, 2000.5},
      {"AcquisitionFrameRate", 121.0, false, "121", 30.0, 60.0, 60.0},
      {"GainRaw", 33.0, false, "33", 1.0, 2.5, 2.5},
      {"Gamma", 0.0, false, "0", 1.0, 0.25, 0.25},
      {"Contrast", int64_t{101}, false, "100", int64_t{0}, int64_t{-7}, int64_t{-4}},
      {"Width", int64_t{320}, true, "320", int64_t{640}, int64_t{1001}, int64_t{992}},
      {"Height", int64_t{240}, true, "240", int64_t{480}, int64_t{240}, int64_t{240}},
      {"ReverseX", std::string("True"), true, "true", std::string("False"), std::string("true"),
       std::string("True")},
      {"ReverseY", std::string("True"), true, "true", std::string("False"), std::string("True"),
       std::string("True")},
      {"AcquisitionFrameRateEnable", std::string("True"), true, "true", std::string("False"),
       std::string("True"), std::string("True")},
      {"DeviceUserID", std::string("cam-b"), true, "cam-b", std::string("cam-a"),
       std::string("cam-c"), std::string("cam-c")},
      {"PixelFormat", std::string("mono10"), true, "Mono10", std::string("Mono8"),
       std::string("mono10"), std::string("Mono10")},
  };
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  for (const Case& c : cases) {
    hacq_test::SdkControls().ClearWriteLog(kKey);
    const int32_t image_width = inst->raw()->image_width;
    const int32_t image_height = inst->raw()->image_height;
    if (c.by_fault) {
      hacq_test::SdkControls().InjectFault(kKey, sdkabi::FaultPoint::FeatureWrite, 1, c.name);
    }
    EXPECT_EQ(Set(*inst, c.name, c.refused), H_ERR_FGPARV) << c.name;
    hacq_test::SdkControls().ClearFaults();
    EXPECT_EQ(Writes(), (std::vector<LogEntry>{{c.name, c.sent, false}})) << c.name;
    EXPECT_EQ(Get(*inst, c.name), Values{c.old_value}) << c.name;
    EXPECT_EQ(inst->raw()->image_width, image_width) << c.name;
    EXPECT_EQ(inst->raw()->image_height, image_height) << c.name;

    EXPECT_EQ(Set(*inst, c.name, c.accepted), H_MSG_OK) << c.name;
    EXPECT_EQ(Get(*inst, c.name), Values{c.read_back}) << c.name;
  }
  EXPECT_EQ(inst->raw()->image_width, 992);
  EXPECT_EQ(inst->raw()->image_height, 240);
}

// Catches a reduction that rounds instead of truncating toward zero, a
// division by a zero increment (fault: crash), and an image size that does
// not follow the reduced value.
TEST_F(CameraWritesTest, IntegersAreReducedToTheIncrement) {
  struct Case {
    const char* name;
    int64_t increment;
    int64_t value;
    int64_t stored;
  };
  const Case cases[] = {
      {"Width", 16, 1001, 992}, {"Height", 2, 479, 478},  {"Contrast", 4, -7, -4},
      {"Contrast", 0, 7, 7},    {"Width", 0, 1001, 1001},
  };
  for (const Case& c : cases) {
    simsdk::UpdateCamera(kKey, [&](simsdk::CameraConfig& camera) {
      const std::string name = c.name;
      (name == "Width"    ? camera.width
       : name == "Height" ? camera.height
                          : camera.contrast)
          .inc = c.increment;
    });
    auto inst = OpenOk(kKey);
    ASSERT_TRUE(inst);
    hacq_test::SdkControls().ClearWriteLog(kKey);
    EXPECT_EQ(Set(*inst, c.name, c.value), H_MSG_OK) << c.name << " " << c.value;
    EXPECT_EQ(Get(*inst, c.name), Values{c.stored}) << c.name << " " << c.value;
    ASSERT_EQ(Writes().size(), 1u);
    EXPECT_EQ(Writes()[0].value, std::to_string(c.stored));
    if (std::string(c.name) == "Width") {
      EXPECT_EQ(inst->raw()->image_width, c.stored);
    }
    if (std::string(c.name) == "Height") {
      EXPECT_EQ(inst->raw()->image_height, c.stored);
    }
  }
}

// Catches image sizes that let a later grab read or write past its frame
// buffer: zero, negative, beyond the sensor, or reduced to zero.
TEST_F(CameraWritesTest, ImageSizesOutsideTheSensorAreRefused) {
  struct Case {
    const char* name;
    int64_t value;
  };
  const Case refused[] = {
      {"Width", 0},
      {"Width", -16},
      {"Width", 1296},
      {"Width", 8},  // 8 reduces to 0
      {"Height", 0},
      {"Height", 962},
      {"Height", int64_t{1} << 40},
      {"horizontal_resolution", 0},
      {"horizontal_resolution", -1},
      {"horizontal_resolution", 1281},
      {"horizontal_resolution", int64_t{1} << 32},
      {"vertical_resolution", 961},
      {"vertical_resolution", 0},
  };
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  hacq_test::SdkControls().ClearWriteLog(kKey);
  for (const Case& c : refused) {
    EXPECT_EQ(Set(*inst, c.name, c.value), H_ERR_FGPARV) << c.name << " " << c.value;
  }
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(Get(*inst, "Width"), Values{int64_t{640}});
  EXPECT_EQ(Get(*inst, "Height"), Values{int64_t{480}});
  EXPECT_EQ(inst->raw()->image_width, 640);
  EXPECT_EQ(inst->raw()->image_height, 480);
  EXPECT_EQ(inst->raw()->horizontal_resolution, 640);
  // The sensor's full size is allowed, and a grab after it stays inside
  // its buffers (whatever it answers).
  EXPECT_EQ(Set(*inst, "Width", int64_t{1280}), H_MSG_OK);
  EXPECT_EQ(Set(*inst, "Height", int64_t{960}), H_MSG_OK);
  EXPECT_EQ(Set(*inst, "horizontal_resolution", int64_t{1280}), H_MSG_OK);
  EXPECT_EQ(Set(*inst, "vertical_resolution", int64_t{960}), H_MSG_OK);
  hostlayer::Images images;
  const Herror grabbed = inst->Grab(&images);
  EXPECT_TRUE(grabbed == H_MSG_OK || grabbed == H_ERR_FGTIMEOUT) << grabbed;
}

// Catches a pixel-format index taken from the wrong entry, a name outside
// the list sent to the camera or moving the index, and a listed name sent
// in the caller's spelling (the camera matches its symbols exactly).
TEST_F(CameraWritesTest, PixelFormatSendsOnlyListedNamesInTheCamerasSpelling) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  hacq_test::SdkControls().ClearWriteLog(kKey);
  EXPECT_EQ(Set(*inst, "PixelFormat", std::string("bayerrg8")), H_MSG_OK);
  EXPECT_EQ(Get(*inst, "PixelFormat"), Values{std::string("BayerRG8")});
  EXPECT_EQ(Record(*inst).pixel_format_index, 2);
  for (const char* unlisted : {"Mono16", "RGB8", "", "BayerRG"}) {
    EXPECT_EQ(Set(*inst, "PixelFormat", std::string(unlisted)), H_ERR_FGPARV) << unlisted;
  }
  EXPECT_EQ(Get(*inst, "PixelFormat"), Values{std::string("BayerRG8")});
  EXPECT_EQ(Writes(), (std::vector<LogEntry>{{"PixelFormat", "BayerRG8", true}}));
  // The colour space stays as the open resolved it.
  EXPECT_EQ(inst->raw()->num_channels, 1);
  EXPECT_STREQ(Record(*inst).effective_color_space, "gray");
}

// Catches a user name that overruns its 1024-character field, or one that
// is cut silently: the camera and the cache must agree.
TEST_F(CameraWritesTest, DeviceUserIdTooLongIsRefusedWhole) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  hacq_test::SdkControls().ClearWriteLog(kKey);
  const std::string longest(1023, 'u');
  EXPECT_EQ(Set(*inst, "DeviceUserID", longest), H_MSG_OK);
  EXPECT_EQ(Get(*inst, "DeviceUserID"), Values{longest});
  for (size_t length : {1024u, 1025u, 5000u}) {
    EXPECT_EQ(Set(*inst, "DeviceUserID", std::string(length, 'v')), H_ERR_FGPARV) << length;
  }
  EXPECT_EQ(Get(*inst, "DeviceUserID"), Values{longest});
  ASSERT_EQ(Writes().size(), 1u);
  EXPECT_EQ(Writes()[0].value, longest);
  EXPECT_EQ(Set(*inst, "DeviceUserID", std::string()), H_MSG_OK);
  EXPECT_EQ(Get(*inst, "DeviceUserID"), Values{std::string()});
}

// Catches a size or format change while the stream runs (it would change
// the frames under a running grab), and Contrast wrongly refused then.
TEST_F(CameraWritesTest, ImageFormatIsLockedWhileTheStreamGrabs) {
  auto inst = OpenOk(kKey);
  ASSERT_TRUE(inst);
  ASSERT_EQ(inst->GrabStartAsync(100.0), H_MSG_OK);  // the stream keeps running
  ASSERT_TRUE(hacq_test::SdkControls().IsGrabbing(kKey));
  hacq_test::SdkControls().ClearWriteLog(kKey);
  EXPECT_EQ(Set(*inst, "Width", int64_t{320}), H_ERR_FGBUSY);
  EXPECT_EQ(Set(*inst, "Height", int64_t{240}), H_ERR_FGBUSY);
  EXPECT_EQ(Set(*inst, "PixelFormat", std::string("Mono10")), H_ERR_FGBUSY);
  EXPECT_EQ(Set(*inst, "Contrast", int64_t{8}), H_MSG_OK);
  EXPECT_EQ(Writes(), (std::vector<LogEntry>{{"Contrast", "8", true}}));
  EXPECT_EQ(Get(*inst, "Width"), Values{int64_t{640}});
  EXPECT_EQ(Get(*inst, "PixelFormat"), Values{std::string("Mono8")});
  EXPECT_EQ(Set(*inst, "do_abort_grab", std::string("now")), H_MSG_OK);
  EXPECT_FALSE(hacq_test::SdkControls().IsGrabbing(kKey));
  EXPECT_EQ(Set(*inst, "Width", int64_t{320}), H_MSG_OK);
}

}  // namespace
}  // namespace parameter_test
