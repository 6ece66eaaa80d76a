// FGInit, the instance pool, device-string matching, and what FGOpen reads,
// computes and refuses, and leaves behind when it fails.
#include <algorithm>
#include <cstring>
#include <tuple>
#include <vector>

#include "device_test_util.h"

namespace device_test {
namespace {

using hostlayer::Value;
using sdkabi::FaultPoint;

class OpenTest : public DeviceTest {};

// Catches a stray optional operation, a request that marks the record (two
// requests without an open get the same one), a pool that does not reuse
// the lowest free record, and a registration that keeps state of the
// previous one: a record handed out after FGInit is all zero.
TEST_F(OpenTest, RegistrationAndThePoolHandOutTheLowestFreeRecord) {
  FGClass& fg = driver().fg_class();
  EXPECT_EQ(fg.revision_number, 5);
  EXPECT_EQ(fg.instances_max, 256);
  EXPECT_TRUE(fg.SetLut == nullptr && fg.GetLut == nullptr && fg.SetParamTuple == nullptr &&
              fg.GetParamTuple == nullptr);
  FGInstance probe{};
  EXPECT_EQ(fg.OpenRequest(nullptr, &probe), &fg.instance[0]);
  EXPECT_EQ(fg.OpenRequest(nullptr, &probe), &fg.instance[0]);
  {
    auto a = OpenOk("default");
    auto b = OpenOk(kColorKey);
    auto c = OpenOk(kMonoKey);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(Record(*c).pool_index, 2);
    ASSERT_EQ(b->Close(), H_MSG_OK);
    auto d = OpenOk(hacq_test::kColorName);
    ASSERT_TRUE(d);
    EXPECT_EQ(Record(*d).pool_index, 1);
  }
  ASSERT_EQ(driver().Reinit(), H_MSG_OK);
  ASSERT_EQ(fg.OpenRequest(nullptr, &probe), &fg.instance[0]);
  InstanceRecord zero;
  std::memset(&zero, 0, sizeof zero);
  EXPECT_EQ(std::memcmp(probe.inst_data, &zero, sizeof zero), 0);
}

// Catches case-sensitive fixed words, a key tested before "default"/"0",
// names matched with their spaces, empty names matching "", keys written
// past their 1024-character field (a cut key still selects its camera), a
// table that overruns its hundred cameras or counts past them (the board
// list included), and opens that reach a camera when none was discovered.
TEST_F(OpenTest, DeviceStringsSelectTheirCamera) {
  const std::string long_key(1500, 'K');
  std::vector<simsdk::CameraConfig> cameras = {
      Camera("FIRST KEY", "First Cam"), Camera("default", "0"), Camera("NAMELESS", ""),
      Camera("Second", "Two Words"), Camera(long_key, std::string(700, 'N') + " " + long_key)};
  for (int i = 5; i < 105; ++i) cameras.push_back(Camera("CAM" + std::to_string(i), ""));
  UseCameras(cameras);
  // The key each group of device strings opens; empty: refused.
  const std::pair<std::string, std::vector<std::string>> cases[] = {
      {"FIRST KEY",
       {"default", "DEFAULT", "0", "DeFaUlT", "FIRSTKEY", "firstkey", "FirstCam", "FIRSTCAM"}},
      {"NAMELESS", {"nameless"}},
      {"Second", {"TwoWords", "SECOND"}},
      {long_key, {long_key.substr(0, 1023)}},
      {"CAM99", {"CAM99"}},
      {"",
       {"FIRST KEY", "Two Words", "", "default ", long_key.substr(0, 1000), "CAM100", "CAM104"}},
  };
  for (const auto& [opened_key, devices] : cases) {
    for (const std::string& device : devices) {
      SCOPED_TRACE(device.substr(0, 20));
      std::unique_ptr<hostlayer::Instance> instance;
      const Herror status = TryOpen(DefaultParams(device), &instance);
      EXPECT_EQ(status, opened_key.empty() ? H_ERR_FGDV : H_MSG_OK);
      EXPECT_EQ(instance && SdkControls().IsConnected(opened_key), !opened_key.empty());
    }
  }
  std::string text;
  std::vector<Value> boards;
  ASSERT_EQ(driver().Info(5, &text, &boards), H_MSG_OK);
  EXPECT_EQ(boards.size(), 100u);
  UseCameras({});
  for (const char* device : {"default", "0", kMonoKey, ""}) {
    EXPECT_EQ(TryOpen(DefaultParams(device)), H_ERR_FGDV) << device;
  }
}

// Catches a failure code out of order or wrong, a missing or wrong line, an
// open that leaks host blocks or SDK objects, keeps the camera connected
// (taken for good) or keeps the record taken.  (SDK and host calls failing
// without a line of their own are covered by the fault sweep; refused
// geometry by the geometry table.)
TEST_F(OpenTest, FailuresAnswerTheirCodeAndLeaveNothingBehind) {
  struct Case {
    Herror expected;
    hostlayer::OpenParams params;
    FaultPoint fault;     // injected in the rows that print a line
    const char* printed;  // the open's whole standard output; null: none
  };
  const hostlayer::OpenParams plain = DefaultParams(kMonoKey);
  const Value mono = std::string(kMonoKey);
  const Case cases[] = {
      {H_ERR_FGDV, plain, FaultPoint::CreateImageFormatControl, "Create Image Control Fail.\n"},
      {H_ERR_FGDV, plain, FaultPoint::CreateAnalogControl, "Create Analog Control Fail.\n"},
      {H_ERR_FGDV, plain, FaultPoint::CreateISPControl, "Create ISP Control Fail.\n"},
      {H_ERR_FGDV, plain, FaultPoint::CreateUserSetControl, "Create UserSet Control Fail.\n"},
      {H_ERR_FGDV, plain, FaultPoint::CreateDeviceControl, "Create Device Control Fail.\n"},
      {H_ERR_FGDV, plain, FaultPoint::CreateStream, "create stream obj  fail.\r\n"},
      {H_ERR_FGDV, {.device = std::string("nope")}},
      {H_ERR_FGPORT, {.device = mono, .port = int64_t{-2}}},
      {H_ERR_FGPORT, {.device = mono, .port = int64_t{4}}},
      {H_ERR_FGLINE, {.device = mono, .line_in = int64_t{1}}},
      {H_ERR_FGWB, {.bits_per_channel = int64_t{16}, .device = mono}},
      {H_ERR_FGEXTTRIG, {.external_trigger = std::string("true"), .device = mono}},
      {H_ERR_FGFIELD, {.field = int64_t{1}, .device = mono}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    if (c.printed != nullptr) SdkControls().InjectFault(kMonoKey, c.fault);
    Herror status = 0;
    EXPECT_EQ(Capture([&] { status = TryOpen(c.params); }).out, c.printed ? c.printed : "");
    EXPECT_EQ(status, c.expected);
    EXPECT_FALSE(SdkControls().IsConnected(kMonoKey));
    ExpectNoLeaks("after the failed open");
    SdkControls().ClearFaults();
    auto again = OpenOk(kMonoKey);
    ASSERT_TRUE(again);
    EXPECT_EQ(Record(*again).pool_index, 0);
  }
}

// Catches a duplicate check that compares cameras instead of device
// strings or hurts the instance already open, an open failure whose code
// does not go through the host's error processing (HProcessErr may replace
// it), and a missing spy report or checking allocator while tracing.
TEST_F(OpenTest, RefusalsGoThroughTheHostAndTracingSeesTheBoard) {
  {
    auto first = OpenOk("default");
    ASSERT_TRUE(first);
    EXPECT_EQ(TryOpen(DefaultParams("DEFAULT")), H_ERR_FGDEVBUSY);
    EXPECT_TRUE(OpenOk(kMonoKey));  // same camera, other string: allowed
    hostlayer::Images images;
    EXPECT_EQ(first->Grab(&images), H_MSG_OK);
  }
  hostlayer::SetProcessErrResult(4712);
  hostlayer::FailCall(hostlayer::HostCall::Alloc, 1, 4711);
  EXPECT_EQ(TryOpen(DefaultParams(kMonoKey)), 4712);
  const auto log = hostlayer::ProcessErrLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].err, 4711);
  EXPECT_EQ(log[0].file, "Src\\hAcqOmbrix");

  hostlayer::Reset();
  hostlayer::SetSpy(true);
  hostlayer::SetTraceMemory(true);
  ASSERT_TRUE(OpenOk(kMonoKey));
  EXPECT_EQ(hostlayer::Memory().checked_allocations, 3);  // board and two buffers
  EXPECT_EQ(hostlayer::Memory().allocations, 3);
  EXPECT_TRUE(std::ranges::any_of(hostlayer::SpyLog(), [](const auto& record) {
    return record.text.find("BoardRecord") != std::string::npos;
  }));
}

// Catches a wrong number of frame buffers (the fewest, 2, and the most, 5,
// are accepted), a parser that takes the second "=" or a later value first,
// a missing or wrong message, and messages printed while HDoLowError is off.
TEST_F(OpenTest, GenericParametersSetBufferCount) {
  const char* const invalid = "Invalid value for Generic parameter 'num_buffers'!";
  const char* const not_text = "Generic parameter accepts only string values!";
  const char* const no_argument = "No argument for Generic parameter 'num_buffers' found!";
  // (generic, the open's answer, buffers when it succeeds, the
  // IOPrintErrorMessage text or null)
  const std::tuple<std::vector<Value>, Herror, int32_t, const char*> cases[] = {
      {{int64_t{-1}}, H_MSG_OK, 2, nullptr},
      {{-1.0}, H_MSG_OK, 2, nullptr},
      {{}, H_MSG_OK, 2, nullptr},
      {{std::string("num_buffers=5")}, H_MSG_OK, 5, nullptr},
      {{std::string("num_buffers=2")}, H_MSG_OK, 2, nullptr},
      {{std::string("num_buffers= +4")}, H_MSG_OK, 4, nullptr},
      {{std::string("x=3 num_buffers")}, H_MSG_OK, 3, nullptr},
      {{std::string(""), std::string("num_buffers=3")}, H_MSG_OK, 3, nullptr},
      {{std::string("num_buffers=3"), std::string("num_buffers=4")}, H_MSG_OK, 4, nullptr},
      {{std::string("num_buffers=6")}, H_ERR_FGPARV, 0, invalid},
      {{std::string("num_buffers=1")}, H_ERR_FGPARV, 0, invalid},
      {{std::string("num_buffers=abc")}, H_ERR_FGPARV, 0, invalid},
      {{std::string("num_buffers=99999999999999999999")}, H_ERR_FGPARV, 0, invalid},
      {{std::string("num_buffers")}, H_ERR_FGPARV, 0, no_argument},
      {{std::string("buffers=3")}, H_ERR_FGPARAM, 0, "Wrong parameter input: buffers=3!"},
      {{std::string("NUM_BUFFERS=3")}, H_ERR_FGPARAM, 0, "Wrong parameter input: NUM_BUFFERS=3!"},
      {{std::string(1100, 'x')}, H_ERR_FGPARAM, 0, "Wrong parameter input for Generic!"},
      {{int64_t{3}}, H_ERR_FGPART, 0, not_text},
      {{std::string("num_buffers=3"), 2.5}, H_ERR_FGPART, 0, not_text},
      // Only a list of exactly one -1 means "none".
      {{int64_t{-1}, std::string("num_buffers=5")}, H_ERR_FGPART, 0, not_text},
  };
  for (const bool low_error : {false, true}) {
    for (const auto& c : cases) {
      const auto& [generic, expected, buffers, message] = c;
      SCOPED_TRACE(testing::Message() << "case " << (&c - cases) << " low error " << low_error);
      hostlayer::Reset();
      hostlayer::SetDoLowError(low_error);
      const int64_t blocks_before = hostlayer::Memory().live_blocks;
      const hostlayer::OpenParams params{.generic = generic, .device = std::string(kMonoKey)};
      std::unique_ptr<hostlayer::Instance> instance;
      EXPECT_EQ(TryOpen(params, &instance), expected);
      // One board and one block per buffer.
      EXPECT_EQ(hostlayer::Memory().live_blocks - blocks_before, instance ? 1 + buffers : 0);
      EXPECT_EQ(instance ? Record(*instance).num_buffers : 0, buffers);
      std::vector<std::string> messages;
      if (low_error && message != nullptr) messages.emplace_back(message);
      EXPECT_EQ(hostlayer::ErrorMessages(), messages);
    }
  }
}

// Catches wrong divisors, a full-size value not read as divisor 1, an image
// size not filled in from the start offsets, a part outside the sensor that
// is accepted, and a part one pixel wide or high that is refused.
TEST_F(OpenTest, GeometryFollowsDivisorsAndImagePart) {
  const int32_t w = 2448;
  const int32_t h = 2048;
  struct Case {
    int64_t horizontal, vertical, width, height, row, column;
    Herror expected;
    int32_t out_horizontal, out_vertical, out_width, out_height;
    int64_t mode;
  };
  const Case cases[] = {
      {1, 1, 0, 0, 0, 0, H_MSG_OK, w, h, w, h, 0},
      {w, h, 0, 0, 0, 0, H_MSG_OK, w, h, w, h, 0},
      {2, 1, 0, 0, 0, 0, H_MSG_OK, w / 2, h, w / 2, h, 3},
      {4, 4, 0, 0, 0, 0, H_MSG_OK, w / 4, h / 4, w / 4, h / 4, 3},
      {1, 1, 0, 0, 5, 10, H_MSG_OK, w, h, w - 20, h - 10, 0},
      {1, 1, 100, 50, 20, 30, H_MSG_OK, w, h, 100, 50, 0},
      {1, 1, 1, 1, h - 1, w - 1, H_MSG_OK, w, h, 1, 1, 0},
      {3, 1, 0, 0, 0, 0, H_ERR_FGWR, 0, 0, 0, 0, 0},
      {1, 8, 0, 0, 0, 0, H_ERR_FGWR, 0, 0, 0, 0, 0},
      {1, 1, w - 5, 0, 0, 10, H_ERR_FGWP, 0, 0, 0, 0, 0},
      {2, 1, w / 2 + 1, 0, 0, 0, H_ERR_FGWP, 0, 0, 0, 0, 0},
      {1, 1, 0, h + 1, 0, 0, H_ERR_FGWP, 0, 0, 0, 0, 0},
      {1, 1, 50, 0, 0, -10, H_ERR_FGWP, 0, 0, 0, 0, 0},
      {1, 1, 0, 0, h, 0, H_ERR_FGWP, 0, 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "case " << (&c - cases));
    const hostlayer::OpenParams params{.horizontal_resolution = c.horizontal,
                                       .vertical_resolution = c.vertical,
                                       .image_width = c.width,
                                       .image_height = c.height,
                                       .start_row = c.row,
                                       .start_column = c.column,
                                       .device = std::string(kMonoKey)};
    std::unique_ptr<hostlayer::Instance> instance;
    ASSERT_EQ(TryOpen(params, &instance), c.expected);
    if (c.expected != H_MSG_OK) continue;
    const FGInstance& f = *instance->raw();
    EXPECT_EQ(
        std::tuple(f.width_max, f.height_max, f.horizontal_resolution, f.vertical_resolution,
                   f.image_width, f.image_height, f.resolution_mode),
        std::tuple(w, h, c.out_horizontal, c.out_vertical, c.out_width, c.out_height, c.mode));
  }
}

// Catches a mono list that is incomplete or too wide (Mono16 is colour by
// the rule), a case-sensitive "rgb", an unknown colour space accepted, and
// a format list cut short or not cut at its field (the last of 256 names
// of the longest length included).
TEST_F(OpenTest, ColourSpaceFollowsPixelFormat) {
  const std::string longest(kPixelFormatNameLen - 1, 'x');
  std::vector<std::string> formats = {"Mono8",        "Mono10", "Mono12",  "Mono10Packed",
                                      "Mono12Packed", "Mono16", "BayerRG8"};
  while (formats.size() < 300) formats.push_back(std::to_string(formats.size()) + longest);
  const std::tuple<const char*, const char*, Herror, int32_t> cases[] = {
      {"Mono8", "default", H_MSG_OK, 1},        {"Mono10", "default", H_MSG_OK, 1},
      {"Mono12", "default", H_MSG_OK, 1},       {"Mono10Packed", "default", H_MSG_OK, 1},
      {"Mono12Packed", "default", H_MSG_OK, 1}, {"Mono16", "default", H_MSG_OK, 3},
      {"BayerRG8", "DEFAULT", H_MSG_OK, 3},     {"Mono8", "RGB", H_MSG_OK, 3},
      {"BayerRG8", "Gray", H_MSG_OK, 1},        {"Mono8", "yuv", H_ERR_FGCS, 0},
  };
  for (const auto& [pixel_format, color_space, expected, channels] : cases) {
    SCOPED_TRACE(testing::Message() << pixel_format << " / " << color_space);
    simsdk::CameraConfig camera = Camera("CAM", "");
    camera.pixel_format.entries = formats;
    camera.pixel_format.value = pixel_format;
    UseCameras({camera});
    const hostlayer::OpenParams params{.color_space = std::string(color_space),
                                       .device = std::string("CAM")};
    std::unique_ptr<hostlayer::Instance> instance;
    ASSERT_EQ(TryOpen(params, &instance), expected);
    if (expected != H_MSG_OK) continue;
    const InstanceRecord& record = Record(*instance);
    EXPECT_EQ(instance->raw()->num_channels, channels);
    EXPECT_STREQ(record.pixel_formats[record.pixel_format_index], pixel_format);
    ASSERT_EQ(record.pixel_format_count, kMaxPixelFormats);
    for (int i = 0; i < kMaxPixelFormats; ++i) {
      EXPECT_EQ(record.pixel_formats[i], formats[i].substr(0, kPixelFormatNameLen - 1)) << i;
    }
  }
}

// Catches an open that writes more than automatic exposure and contrast
// mode (the trigger configuration included), reads the camera's values
// into the wrong fields or the trigger state from the wrong feature, and a
// user name of the longest length not read whole (the sanitizer build sees
// a terminator written past its buffer).
TEST_F(OpenTest, ReadsCameraValuesAndSwitchesAutomaticsOff) {
  const std::string longest_id(kTextLen - 1, 'u');
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
    camera.device_user_id.value = longest_id;
    camera.exposure_auto.value = "Continuous";
    camera.contrast_mode.value = "On";
    camera.trigger_mode.value = mode;
    camera.trigger_source.value = source;
    UseCameras({camera});
    auto instance = OpenOk("CAM");
    ASSERT_TRUE(instance);
    const InstanceRecord& r = Record(*instance);
    EXPECT_EQ(std::tuple(std::string(r.TriggerMode), r.ExposureTime, r.GainRaw, r.Gamma, r.Contrast,
                         r.ReverseX, r.ReverseY, std::string(r.DeviceUserID), r.num_buffers,
                         r.grab_timeout, r.start_async_after_grab_async),
              std::tuple(std::string(expected_mode), 1234.5, 2.25, 0.8, 17, 1, 0, longest_id, 2,
                         5000, true));
    EXPECT_EQ(SdkControls().WriteLog("CAM"),
              (std::vector<sdkabi::LogEntry>{{"ExposureAuto", "Off", true},
                                             {"ContrastMode", "Off", true}}));
  }
}

// Catches use of a node the SDK did not make (the open succeeds and the
// features they serve are skipped), an overlong user name not cut, and an
// open that stops on an unreadable format list instead of showing the box
// and going on.
TEST_F(OpenTest, MissingNodesAreSkippedAndAnUnreadableListIsShown) {
  simsdk::CameraConfig camera = Camera("CAM", "");
  camera.contrast_mode.present = false;
  camera.device_user_id.value = std::string(1500, 'u');
  UseCameras({camera});
  {
    auto first = OpenOk("CAM");
    ASSERT_TRUE(first);
    EXPECT_EQ(Record(*first).DeviceUserID, std::string(kTextLen - 1, 'u'));
  }
  SdkControls().InjectFault("CAM", FaultPoint::CreateEnumNode);
  SdkControls().InjectFault("CAM", FaultPoint::CreateStringNode);
  SdkControls().InjectFault("CAM", FaultPoint::EnumList);
  std::unique_ptr<hostlayer::Instance> second;
  Herror status = 0;
  const Output output = Capture([&] { status = TryOpen(DefaultParams("CAM"), &second); });
  EXPECT_EQ(status, H_MSG_OK);
  EXPECT_NE(output.err.find("FGOpen: get pixelFormat list fail"), std::string::npos);
  // Not read this time: the record keeps what it held.
  EXPECT_EQ(Record(*second).DeviceUserID, std::string(kTextLen - 1, 'u'));
}

}  // namespace
}  // namespace device_test
