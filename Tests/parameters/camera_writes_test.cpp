// What set and get requests do with the camera: which words a set takes,
// what it writes, in which order, and what it keeps when the camera or the
// value is refused; which reads ask the camera; and how requests steer the
// grab engine.
#include <chrono>
#include <future>
#include <tuple>
#include <utility>

#include "parameter_test_util.h"

namespace parameter_test {
namespace {

using sdkabi::FaultPoint;

// Each test starts with the mono test camera open as `inst`.
class CameraWritesTest : public ParameterTest {
 protected:
  void SetUp() override {
    ParameterTest::SetUp();
    inst = OpenOk(kKey);
    ASSERT_TRUE(inst);
  }
  void TearDown() override {
    inst.reset();
    ParameterTest::TearDown();
  }
  std::unique_ptr<hostlayer::Instance> inst;
};

// Catches a trigger switch that writes the features in another order, writes
// the source for "continuous", goes on after a refused write, reports a
// refused switch as success, or records the mode although the camera
// refused it; and a software trigger whose refusal is reported as success
// or still marks a frame as requested, or that does not mark it on success.
TEST_F(CameraWritesTest, TriggerSwitchesWriteInOrderAndStopAtTheFirstRefusal) {
  const LogEntry selector = {"TriggerSelector", "FrameStart", true};
  const LogEntry on = {"TriggerMode", "On", true};
  const std::pair<const char*, std::vector<LogEntry>> switches[] = {
      {"software_trigger", {{"TriggerSource", "Software", true}, selector, on}},
      {"line_trigger", {{"TriggerSource", "Line1", true}, selector, on}},
      {"continuous", {selector, {"TriggerMode", "Off", true}}},
  };
  for (const auto& [word, writes] : switches) {
    for (const char* failing : {"", "TriggerSource", "TriggerSelector", "TriggerMode"}) {
      SCOPED_TRACE(testing::Message() << word << " failing " << failing);
      ASSERT_EQ(inst->SetParam("TriggerMode", std::string("line_trigger")), H_MSG_OK);
      SdkControls().ClearWriteLog(kKey);
      if (failing[0] != '\0') SdkControls().InjectFault(kKey, FaultPoint::FeatureWrite, 1, failing);
      // The writes up to the refused one, which ends the switch.
      std::vector<LogEntry> expected;
      for (LogEntry entry : writes) {
        entry.accepted = entry.feature != failing;
        expected.push_back(entry);
        if (!entry.accepted) break;
      }
      const bool refused = !expected.back().accepted;
      EXPECT_EQ(inst->SetParam("TriggerMode", std::string(word)),
                refused ? H_ERR_FGTRIGGER : H_MSG_OK);
      EXPECT_EQ(Writes(), expected);
      EXPECT_EQ(Get(*inst, "TriggerMode"), Values{std::string(refused ? "line_trigger" : word)});
      SdkControls().ClearFaults();
    }
  }
  SdkControls().InjectFault(kKey, FaultPoint::CommandExecute, 1);
  EXPECT_EQ(inst->SetParam("do_TriggerSoftware", std::string("x")), H_ERR_FGTRIGGER);
  EXPECT_FALSE(Record(*inst).grab_started);
  SdkControls().ClearWriteLog(kKey);
  EXPECT_EQ(inst->SetParam("do_TriggerSoftware", 0.0), H_MSG_OK);
  EXPECT_TRUE(Record(*inst).grab_started);
  EXPECT_EQ(Writes(), (std::vector<LogEntry>{{"TriggerSoftware", "", true}}));
  EXPECT_EQ(inst->SetParam("do_abort_grab", int64_t{1}), H_MSG_OK);
  EXPECT_FALSE(Record(*inst).grab_started);
}

// Catches vocabulary words compared case-sensitively, any word outside the
// vocabulary accepted, a switch that stores its "on" word as "off", and a
// boolean written to the camera although it did not change (a needless
// write can restart a camera's acquisition), or not written when it did.
TEST_F(CameraWritesTest, WordValuesMatchInAnyCaseAndWriteOnlyOnAChange) {
  // (name, word, the read after it or null: refused with H_ERR_FGPARV,
  // what the camera's feature of that name got or null: nothing)
  std::vector<std::tuple<const char*, const char*, const char*, const char*>> cases = {
      {"volatile", "ENABLE", "enable", nullptr},
      {"volatile", "Disable", "disable", nullptr},
      {"volatile", "on", nullptr, nullptr},
      {"start_async_after_grab_async", "DISABLE", "disable", nullptr},
      {"start_async_after_grab_async", "Enable", "enable", nullptr},
      {"start_async_after_grab_async", "", nullptr, nullptr},
      {"TriggerMode", "Continuous", "Continuous", "Off"},
      {"TriggerMode", "LINE_TRIGGER", "LINE_TRIGGER", "On"},
      {"TriggerMode", "hardware", nullptr, nullptr},
  };
  for (const char* name : {"ReverseX", "ReverseY", "AcquisitionFrameRateEnable"}) {
    cases.insert(cases.end(), {{name, "False", "False", nullptr},
                               {name, "TRUE", "True", "true"},
                               {name, "True", "True", nullptr},
                               {name, "maybe", nullptr, nullptr},
                               {name, "True ", nullptr, nullptr},
                               {name, "false", "False", "false"}});
  }
  for (const auto& [name, word, read, written] : cases) {
    SCOPED_TRACE(testing::Message() << name << "=" << word);
    const Values before = Get(*inst, name);
    SdkControls().ClearWriteLog(kKey);
    EXPECT_EQ(inst->SetParam(name, std::string(word)), read ? H_MSG_OK : H_ERR_FGPARV);
    EXPECT_EQ(Get(*inst, name), read ? Values{std::string(read)} : before);
    std::vector<LogEntry> writes;
    for (const LogEntry& entry : Writes()) {
      if (entry.feature == name) writes.push_back(entry);
    }
    EXPECT_EQ(writes,
              (written ? std::vector<LogEntry>{{name, written, true}} : std::vector<LogEntry>{}));
  }
  EXPECT_TRUE(Record(*inst).start_async_after_grab_async);
  EXPECT_EQ(inst->SetParam("bits_per_channel", int64_t{16}), H_ERR_FGPARV);
  EXPECT_EQ(inst->raw()->bits_per_channel, 8);
}

// Catches a cache that takes a value the camera refused (a later read
// would report a setting the camera never had), a refusal reported as
// success, a value clamped or rounded before the camera sees it, an image
// size that follows a refused Width or Height, a value reduced to its
// increment by rounding instead of toward zero, a name sent in the
// caller's spelling (the camera matches its symbols exactly), and the
// longest user name not kept whole.
TEST_F(CameraWritesTest, CameraRefusalFailsTheSetAndKeepsTheCache) {
  struct Case {
    const char* name;
    Value refused;
    bool by_fault;     // the value fits; the camera refuses it by injection
    const char* sent;  // the refused write as the camera logs it
    Value old_value;
    Value accepted;
    Value read_back;
    std::string written;  // the accepted write as the camera logs it
  };
  const std::string longest_id(1023, 'u');
  const Value no = std::string("False");
  const Value yes = std::string("True");
  const Case cases[] = {
      {"ExposureTime", 150000.0, false, "150000", 1000.0, 2000.5, 2000.5, "2000.5"},
      {"AcquisitionFrameRate", 121.0, false, "121", 30.0, 60.0, 60.0, "60"},
      {"GainRaw", 33.0, false, "33", 1.0, 2.5, 2.5, "2.5"},
      {"Gamma", 0.0, false, "0", 1.0, 0.25, 0.25, "0.25"},
      {"Contrast", int64_t{101}, false, "100", int64_t{0}, int64_t{-7}, int64_t{-4}, "-4"},
      {"Width", int64_t{320}, true, "320", int64_t{640}, int64_t{1001}, int64_t{992}, "992"},
      {"Height", int64_t{240}, true, "240", int64_t{480}, int64_t{479}, int64_t{478}, "478"},
      {"ReverseX", yes, true, "true", no, std::string("true"), yes, "true"},
      {"ReverseY", yes, true, "true", no, yes, yes, "true"},
      {"AcquisitionFrameRateEnable", yes, true, "true", no, yes, yes, "true"},
      {"DeviceUserID", std::string("cam-b"), true, "cam-b", std::string("cam-a"), longest_id,
       longest_id, longest_id},
      {"PixelFormat", std::string("mono10"), true, "Mono10", std::string("Mono8"),
       std::string("bayerrg8"), std::string("BayerRG8"), "BayerRG8"},
  };
  const auto image_size = [&] {
    return std::pair(inst->raw()->image_width, inst->raw()->image_height);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    SdkControls().ClearWriteLog(kKey);
    const auto size_before = image_size();
    if (c.by_fault) SdkControls().InjectFault(kKey, FaultPoint::FeatureWrite, 1, c.name);
    EXPECT_EQ(inst->SetParam(c.name, c.refused), H_ERR_FGPARV);
    SdkControls().ClearFaults();
    EXPECT_EQ(Get(*inst, c.name), Values{c.old_value});
    EXPECT_EQ(image_size(), size_before);

    EXPECT_EQ(inst->SetParam(c.name, c.accepted), H_MSG_OK);
    EXPECT_EQ(Get(*inst, c.name), Values{c.read_back});
    EXPECT_EQ(Writes(),
              (std::vector<LogEntry>{{c.name, c.sent, false}, {c.name, c.written, true}}));
  }
  EXPECT_EQ(image_size(), std::pair(992, 478));
  EXPECT_EQ(Record(*inst).pixel_format_index, 2);
  // The colour space stays as the open resolved it.
  EXPECT_EQ(inst->raw()->num_channels, 1);
}

// Catches values that let a later grab read or write past its frame buffer
// (image sizes zero, negative, beyond the sensor, or reduced to zero), a
// user name that overruns its 1024-character field or is cut silently, and
// a pixel format outside the camera's list: none may reach the camera or
// the cache.  Also a size or format change while the stream runs (it would
// change the frames under a running grab), and Contrast wrongly refused
// then.  A zero increment must not divide (fault: crash).
TEST_F(CameraWritesTest, ValuesOutsideTheirLimitsNeverReachTheCamera) {
  const int64_t big = int64_t{1} << 40;
  const std::pair<const char*, std::vector<Value>> refused[] = {
      {"Width", {int64_t{0}, int64_t{-16}, int64_t{1296}, int64_t{8}}},  // 8 reduces to 0
      {"Height", {int64_t{0}, int64_t{962}, big}},
      {"horizontal_resolution", {int64_t{0}, int64_t{-1}, int64_t{1281}, int64_t{1} << 32}},
      {"vertical_resolution", {int64_t{961}, int64_t{0}}},
      {"DeviceUserID", {std::string(1024, 'v'), std::string(5000, 'v')}},
      {"PixelFormat", {std::string("Mono16"), std::string(""), std::string("BayerRG")}},
  };
  simsdk::UpdateCamera(kKey, [](simsdk::CameraConfig& camera) { camera.contrast.inc = 0; });
  SdkControls().ClearWriteLog(kKey);
  for (const auto& [name, values] : refused) {
    for (const Value& value : values) {
      EXPECT_EQ(inst->SetParam(name, value), H_ERR_FGPARV) << name << " " << value.index();
    }
  }
  ASSERT_EQ(inst->GrabStartAsync(100.0), H_MSG_OK);  // the stream keeps running
  ASSERT_TRUE(SdkControls().IsGrabbing(kKey));
  EXPECT_EQ(inst->SetParam("Width", int64_t{320}), H_ERR_FGBUSY);
  EXPECT_EQ(inst->SetParam("Height", int64_t{240}), H_ERR_FGBUSY);
  EXPECT_EQ(inst->SetParam("PixelFormat", std::string("Mono10")), H_ERR_FGBUSY);
  EXPECT_EQ(inst->SetParam("Contrast", int64_t{7}), H_MSG_OK);
  EXPECT_EQ(Writes(), (std::vector<LogEntry>{{"Contrast", "7", true}}));
  EXPECT_EQ(Get(*inst, "Contrast"), Values{int64_t{7}});
  EXPECT_EQ(inst->SetParam("do_abort_grab", std::string("now")), H_MSG_OK);
  EXPECT_FALSE(SdkControls().IsGrabbing(kKey));
  EXPECT_EQ(Get(*inst, "Width"), Values{int64_t{640}});
  EXPECT_EQ(Get(*inst, "Height"), Values{int64_t{480}});
  EXPECT_EQ(Get(*inst, "DeviceUserID"), Values{std::string("cam-a")});
  EXPECT_EQ(Get(*inst, "PixelFormat"), Values{std::string("Mono8")});
  const FGInstance& fginst = *inst->raw();
  EXPECT_EQ(std::tuple(fginst.image_width, fginst.image_height, fginst.horizontal_resolution),
            std::tuple(640, 480, 640));
  // The sensor's full size is allowed, and a grab after it stays inside
  // its buffers (whatever it answers).
  for (const char* name : {"Width", "horizontal_resolution"}) {
    EXPECT_EQ(inst->SetParam(name, int64_t{1280}), H_MSG_OK);
  }
  for (const char* name : {"Height", "vertical_resolution"}) {
    EXPECT_EQ(inst->SetParam(name, int64_t{960}), H_MSG_OK);
  }
  hostlayer::Images images;
  const Herror grabbed = inst->Grab(&images);
  EXPECT_TRUE(grabbed == H_MSG_OK || grabbed == H_ERR_FGTIMEOUT) << grabbed;
}

// Catches plain reads that ask the camera (they must answer the value the
// interface stored), value lists whose count is not their length, a range
// answered with whatever the SDK left in the values when a read failed (or
// with four values), and a pixel format read outside the 256-entry list
// when the stored index is out of range.
TEST_F(CameraWritesTest, ReadsAnswerTheStoredValuesAndRangesAskTheCamera) {
  simsdk::UpdateCamera(kKey, [](simsdk::CameraConfig& camera) {
    camera.exposure_time.value = 4321.0;
    camera.width.value = 1280;
    camera.device_user_id.value = "changed";
  });
  EXPECT_EQ(Get(*inst, "ExposureTime"), Values{1000.0});
  EXPECT_EQ(Get(*inst, "Width"), Values{int64_t{640}});
  EXPECT_EQ(Get(*inst, "DeviceUserID"), Values{std::string("cam-a")});
  EXPECT_EQ(Get(*inst, "ExposureTime_range")[3], Value{4321.0});

  // The raw get call, so the count and the untouched elements can be seen.
  constexpr int64_t kSentinel = 0x5A5A5A5A;
  const auto raw_get = [&](const std::string& name) {
    ParamValue values[4];
    for (ParamValue& value : values) value = {{.l = kSentinel}, 99};
    int32_t count = -5;
    const Herror status =
        driver().fg_class().GetParam(nullptr, inst->raw(), name.c_str(), values, &count);
    if (status != H_MSG_OK) {  // nothing written but a count of one
      EXPECT_EQ(count, 1) << name;
      for (const ParamValue& value : values) {
        EXPECT_TRUE(value.type == 99 && value.par.l == kSentinel) << name;
      }
    }
    return std::pair<Herror, int32_t>(status, count);
  };
  using Answer = std::pair<Herror, int32_t>;
  EXPECT_EQ(raw_get("DeviceUserID_values"), Answer(H_MSG_OK, 0));
  EXPECT_EQ(raw_get("TriggerMode_values"), Answer(H_MSG_OK, 3));
  EXPECT_EQ(raw_get("grab_timeout_values").first, H_ERR_FGPARAM);
  for (const char* feature : {"ExposureTime", "AcquisitionFrameRate", "GainRaw", "Gamma",
                              "Contrast", "Width", "Height"}) {
    SdkControls().InjectFault(kKey, FaultPoint::FeatureRead, 1, feature);
    EXPECT_EQ(raw_get(std::string(feature) + "_range").first, H_ERR_FGPARV);
  }
  EXPECT_EQ(raw_get("Width_range"), Answer(H_MSG_OK, 4));

  InstanceRecord& record = Record(*inst);
  for (int32_t bad : {-1, 256, 100000}) {
    record.pixel_format_index = bad;
    EXPECT_EQ(Get(*inst, "PixelFormat"), Values{std::string()}) << bad;
  }
  record.pixel_format_index = 0;
}

// Catches a volatile switch that moves, loses or frees a buffer (the grab
// reads the ring without a lock, and the close frees it once), a host
// record left making images in volatile mode, a close in volatile mode
// that leaks, and volatile mode granted where a buffer cannot be one byte
// image.
TEST_F(CameraWritesTest, VolatileSwitchKeepsTheBuffersAndTellsTheHost) {
  const InstanceRecord& record = Record(*inst);
  const std::vector<uint8_t*> buffers(record.InstFrameBuffer, record.InstFrameBuffer + 2);
  EXPECT_EQ(record.frame_buffer_size, 1280 * 960);  // the sensor's largest image
  for (const char* word : {"enable", "enable", "disable", "disable", "ENABLE"}) {
    ASSERT_EQ(inst->SetParam("volatile", std::string(word)), H_MSG_OK);
    EXPECT_EQ(inst->raw()->host_allocates_images, word[0] == 'd') << word;
    EXPECT_EQ(std::vector<uint8_t*>(record.InstFrameBuffer, record.InstFrameBuffer + 2), buffers);
    EXPECT_EQ(record.frame_buffer_size, 1280 * 960) << word;
  }
  EXPECT_EQ(inst->raw()->image_release_proc, nullptr);
  inst.reset();  // closes in volatile mode
  ExpectNoLeaks("after closing in volatile mode");

  auto colour = OpenOk(kColorKey);
  ASSERT_TRUE(colour);
  const bool host_allocates = colour->raw()->host_allocates_images;
  EXPECT_EQ(colour->SetParam("volatile", std::string("enable")), H_ERR_FGPARV);
  EXPECT_EQ(colour->raw()->host_allocates_images, host_allocates);
  EXPECT_EQ(Get(*colour, "volatile"), Values{std::string("disable")});
}

uint64_t Delivered() {
  return SdkControls().CameraCounters(kKey).frames_delivered;
}

// Catches a last_set_param that is not recorded as the caller spelled it,
// is changed by a refused request, or survives another successful set: each
// of these makes grabs drop frames they should keep, or keep a frame of the
// old format.  Every set makes the grab after it stop the stream, so each
// PixelFormat set below finds the stream stopped.
TEST_F(CameraWritesTest, PixelFormatMakesEachGrabDropOneFrameUntilAnotherSet) {
  hostlayer::Images images;
  // The grab flags of a fresh process: no asynchronous grab in use, no stop
  // pending, the stream stopped.
  ASSERT_EQ(inst->SetParam("do_abort_grab", int64_t{1}), H_MSG_OK);
  ASSERT_EQ(inst->Grab(&images), H_MSG_OK);
  ASSERT_EQ(inst->SetParam("grab_timeout", int64_t{5000}), H_MSG_OK);
  ASSERT_EQ(inst->Grab(&images), H_MSG_OK);
  // (set, value, its answer, frames each grab after it takes)
  const std::tuple<const char*, Value, Herror, uint64_t> steps[] = {
      {"PixelFormat", std::string("Mono8"), H_MSG_OK, 2},
      {"volatile", std::string("bogus"), H_ERR_FGPARV, 2},  // PixelFormat stays the last
      {"grab_timeout", int64_t{10}, H_MSG_OK, 1},
      {"pixelformat", std::string("Mono8"), H_MSG_OK, 1},  // the grab compares exactly
      {"PixelFormat", std::string("Mono8"), H_MSG_OK, 2},
  };
  for (const auto& [name, value, status, frames_per_grab] : steps) {
    ASSERT_EQ(inst->SetParam(name, value), status) << name;
    const uint64_t before = Delivered();
    ASSERT_EQ(inst->Grab(&images), H_MSG_OK) << name;
    EXPECT_EQ(Delivered() - before, frames_per_grab) << name;
  }
  // Changing to a colour format leaves the instance's images gray.
  ASSERT_EQ(inst->SetParam("PixelFormat", std::string("BayerRG8")), H_MSG_OK);
  ASSERT_EQ(inst->Grab(&images), H_MSG_OK);
  EXPECT_EQ(images.size(), 1u);
}

// Catches an abort whose lock failure is swallowed, or that changes the
// pending grab without holding the lock.
TEST_F(CameraWritesTest, AbortReportsALockFailureAndChangesNothing) {
  ASSERT_EQ(inst->SetParam("do_TriggerSoftware", int64_t{1}), H_MSG_OK);
  hostlayer::FailCall(hostlayer::HostCall::MutexLock, 1, 9001);
  EXPECT_EQ(inst->SetParam("do_abort_grab", int64_t{1}), 9001);
  EXPECT_TRUE(Record(*inst).grab_started);
  auto grab = std::async(std::launch::async, [&] {
    hostlayer::Images images;
    return inst->Grab(&images);
  });
  ASSERT_EQ(grab.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "mutex locked";
  EXPECT_EQ(grab.get(), H_MSG_OK);
}

}  // namespace
}  // namespace parameter_test
