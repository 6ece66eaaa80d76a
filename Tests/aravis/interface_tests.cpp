// The interface, driven as a host drives it, on the Aravis SDK and its
// fake GigE Vision cameras: listing, opening, every camera parameter,
// grabs with every pixel checked, triggers, abort, a camera that vanishes
// during a grab, and the fault sweep.
#include <chrono>
#include <future>
#include <thread>
#include <tuple>

#include "aravis_fixture.h"
#include "hacq_test/fake_gv_camera.h"
#include "sweep.h"

namespace aravistest {
namespace {

using hacq_test::FakeGvCamera;
using hacq_test::PatternFrame;
using hacq_test::PatternSample;
using hostlayer::Images;
using hostlayer::Value;
using Values = std::vector<Value>;
namespace reg = hacq_test::fake_register;
using namespace std::chrono_literals;

using Listing = AravisTest;

// Catches cameras missing from the interface's listing or table, texts of
// another camera, and opens by key or "default" that do not reach one.
TEST_F(Listing, ListsTheCamerasAndOpensByKeyAndByDefault) {
  using Text = const char* (*)(const char*);
  auto discover =
      reinterpret_cast<int32_t (*)(char*, uint32_t*)>(driver().Symbol("discovery_camera"));
  ASSERT_NE(discover, nullptr);
  std::vector<char> keys(2 * 1024 * 4);
  uint32_t count = 0;
  ASSERT_EQ(discover(keys.data(), &count), 0);
  ASSERT_EQ(count, 2u);
  for (const auto& [symbol, expected] : {std::pair{"getKey", "Aravis-Fake-OMB1"},
                                         {"getVendorName", "Aravis"},
                                         {"getModelName", "Fake"},
                                         {"getSerialNumber", "OMB1"},
                                         {"getName", ""}}) {
    const auto text = reinterpret_cast<Text>(driver().Symbol(symbol));
    ASSERT_NE(text, nullptr) << symbol;
    EXPECT_STREQ(text(camera().key().c_str()), expected) << symbol;
  }
  std::vector<Value> boards;
  ASSERT_EQ(driver().Info(5, nullptr, &boards), H_MSG_OK);
  EXPECT_EQ(boards.size(), 2u);

  for (const std::string& device : {camera().key(), std::string("default")}) {
    auto instance = OpenOk(device);
    ASSERT_TRUE(instance) << device;
    EXPECT_EQ(instance->raw()->image_width, 64) << device;
    EXPECT_TRUE(controls().IsConnected(camera().key()) ||
                controls().IsConnected(TheWorld().doomed->key()));
  }
  EXPECT_FALSE(controls().IsConnected(camera().key()));
}

Values Get(hostlayer::Instance& instance, const std::string& name) {
  Values values;
  EXPECT_EQ(instance.GetParam(name, &values), H_MSG_OK) << name;
  return values;
}

using Parameters = AravisTest;

// Catches a parameter that does not reach its feature on a real GenICam
// camera (a wrong name, kind or conversion), a read that does not show
// what the camera holds, and ranges and lists not taken from the camera.
TEST_F(Parameters, EveryCameraParameterSetsReadsAndReportsItsRange) {
  struct Case {
    const char* name;
    Value value;
    std::vector<std::pair<uint32_t, uint32_t>> registers;  // what the fake camera then holds
    Values range;                                          // empty: no _range query
  };
  const auto ints = [](int64_t min, int64_t max, int64_t step, int64_t value) {
    return Values{min, max, step, value};
  };
  const auto text = [](const char* t) { return Value{std::string(t)}; };
  const Case cases[] = {
      {"ExposureTime", 2500.0, {{reg::kExposureTime, 2500}}, {20.0, 1000000.0, 1.0, 2500.0}},
      {"AcquisitionFrameRate", 250.0, {{reg::kFramePeriod, 4000}}, {0.1, 1000.0, 1.0, 250.0}},
      {"AcquisitionFrameRateEnable", text("True"), {{reg::kFrameRateEnable, 1}}, {}},
      {"GainRaw", 5.0, {{reg::kGainRaw, 5}}, {0.0, 10.0, 1.0, 5.0}},
      {"Gamma", 2.0, {}, {0.25, 4.0, 1.0, 2.0}},  // a double: checked below
      {"Contrast", int64_t{70}, {{reg::kContrast, 70}}, ints(0, 100, 1, 70)},
      {"Width", int64_t{32}, {{reg::kWidth, 32}}, ints(16, 2048, 4, 32)},
      {"Height", int64_t{24}, {{reg::kHeight, 24}}, ints(1, 2048, 1, 24)},
      {"ReverseX", text("True"), {{reg::kReverseX, 1}}, {}},
      {"ReverseY", text("True"), {{reg::kReverseY, 1}}, {}},
      {"PixelFormat", text("Mono16"), {{reg::kPixelFormat, ARV_PIXEL_FORMAT_MONO_16}}, {}},
      {"DeviceUserID", text("bench-3"), {}, {}},  // a string: checked below
      {"TriggerMode", text("line_trigger"), {{reg::kTriggerMode, 1}, {reg::kTriggerSource, 2}}, {}},
      {"TriggerMode",
       text("software_trigger"),
       {{reg::kTriggerMode, 1}, {reg::kTriggerSource, 1}},
       {}},
      {"TriggerMode", text("continuous"), {{reg::kTriggerMode, 0}}, {}},
  };
  FakeGvCamera& cam = camera();
  auto instance = OpenOk(cam.key());
  ASSERT_TRUE(instance);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ASSERT_EQ(instance->SetParam(c.name, c.value), H_MSG_OK);
    for (const auto& [address, held] : c.registers)
      EXPECT_EQ(cam.Register(address), held) << "the camera did not take it";
    EXPECT_EQ(Get(*instance, c.name), Values{c.value});
    if (!c.range.empty()) {
      EXPECT_EQ(Get(*instance, std::string(c.name) + "_range"), c.range);
    }
  }
  EXPECT_EQ(cam.Gamma(), 2.0);
  EXPECT_EQ(cam.DeviceUserId(), "bench-3");
  const Values formats = Get(*instance, "PixelFormat_values");
  EXPECT_EQ(formats.size(), 7u);
  EXPECT_EQ(Get(*instance, "TriggerMode_values").size(), 3u);

  // Refused by the camera (or the SDK for it): the old value stays.
  const std::pair<const char*, Value> refused[] = {
      {"GainRaw", 5.5},  // an Integer feature takes whole numbers
      {"GainRaw", 11.0},
      {"GainRaw", -1.0},
      {"GainRaw", 1e300},  // no whole number of the feature's type
      {"Gamma", 9.0},
      {"Contrast", int64_t{101}},
      {"DeviceUserID", std::string(17, 'n')},
      {"PixelFormat", std::string("YUV422_8")}};
  for (const auto& [name, value] : refused) {
    SCOPED_TRACE(name);
    const Values before = Get(*instance, name);
    EXPECT_EQ(instance->SetParam(name, value), H_ERR_FGPARV);
    EXPECT_EQ(Get(*instance, name), before);
  }
}

// Every pixel of the planes is the pattern of one frame, reversed as
// asked; returns that frame's byte.
std::optional<uint8_t> CheckPattern(const Images& images, bool reverse_x, bool reverse_y) {
  if (images.empty() || images[0].width <= 0) return std::nullopt;
  const auto width = static_cast<uint32_t>(images[0].width);
  const auto height = static_cast<uint32_t>(images[0].height);
  const uint8_t frame =
      PatternFrame(images[0].pixels[0], 0, 0, width, height, reverse_x, reverse_y);
  for (size_t plane = 0; plane < images.size(); ++plane)
    for (uint32_t y = 0; y < height; ++y)
      for (uint32_t x = 0; x < width; ++x)
        if (images[plane].pixels[y * width + x] != PatternSample(x, y, width, height, reverse_x,
                                                                 reverse_y, frame,
                                                                 static_cast<int>(plane)))
          return std::nullopt;
  return frame;
}

using Grabs = AravisTest;

// Catches frames delivered damaged, mirrored the wrong way, from a stale
// buffer (the same frame twice) or with the colour planes swapped.
TEST_F(Grabs, FreeRunningFramesArriveWithEveryPixelInPlace) {
  // The format the camera sends, the colour space asked for, the
  // mirroring, and the planes delivered.
  const std::tuple<uint32_t, const char*, bool, bool, size_t> cases[] = {
      {ARV_PIXEL_FORMAT_MONO_8, "default", false, false, 1},
      {ARV_PIXEL_FORMAT_MONO_8, "gray", true, false, 1},
      {ARV_PIXEL_FORMAT_MONO_8, "gray", false, true, 1},
      {ARV_PIXEL_FORMAT_RGB_8_PACKED, "default", true, true, 3}};
  for (const auto& [pixel_format, color_space, reverse_x, reverse_y, planes] : cases) {
    SCOPED_TRACE(testing::Message() << color_space << " " << reverse_x << reverse_y);
    camera().SetRegister(reg::kPixelFormat, pixel_format);
    camera().SetRegister(reg::kReverseX, reverse_x);
    camera().SetRegister(reg::kReverseY, reverse_y);
    auto instance = OpenOk(camera().key(), color_space);
    ASSERT_TRUE(instance);
    std::optional<uint8_t> previous;
    for (int i = 0; i < 4; ++i) {
      Images images;
      ASSERT_EQ(instance->Grab(&images), H_MSG_OK) << "grab " << i;
      ASSERT_EQ(images.size(), planes);
      EXPECT_EQ(images[0].width, 64);
      EXPECT_EQ(images[0].height, 48);
      const std::optional<uint8_t> frame = CheckPattern(images, reverse_x, reverse_y);
      ASSERT_TRUE(frame) << "grab " << i << " is not one whole frame of the pattern";
      EXPECT_NE(frame, previous) << "the same frame twice";
      previous = frame;
    }
  }
}

// Catches a trigger mode that free-runs (no trigger, no frame), an abort
// that cannot reach a grab waiting on a camera nobody triggers or that
// leaves the next grabs unable to work, a trigger that makes no frame or
// more than one, and a parameter change that the next frames do not show.
TEST_F(Grabs, AbortEndsAWaitingGrabAndSoftwareTriggersMakeOneFrameEach) {
  auto instance = OpenOk(camera().key());
  ASSERT_TRUE(instance);
  ASSERT_EQ(instance->SetParam("TriggerMode", std::string("software_trigger")), H_MSG_OK);
  // Aravis's fake camera may still send one free-running frame right after
  // the switch to trigger mode; after it no frame may come untriggered.
  Images images;
  int untriggered = 0;
  while (instance->Grab(&images) == H_MSG_OK && untriggered <= 1) ++untriggered;
  EXPECT_LE(untriggered, 1) << "frames without a trigger";
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    auto grab = std::async(std::launch::async, [&] {
      Images waited;
      return instance->Grab(&waited);
    });
    for (int i = 0; i < 400 && !controls().IsGrabbing(camera().key()); ++i)
      std::this_thread::sleep_for(5ms);
    ASSERT_EQ(instance->SetParam("do_abort_grab", int64_t{0}), H_MSG_OK);
    ASSERT_EQ(grab.wait_for(5s), std::future_status::ready) << "grab hangs";
    EXPECT_EQ(grab.get(), H_ERR_FGTIMEOUT);
    EXPECT_FALSE(controls().IsGrabbing(camera().key()));
  }
  ASSERT_EQ(instance->GrabStartAsync(500.0), H_MSG_OK);
  const uint64_t delivered = controls().CameraCounters(camera().key()).frames_delivered;
  for (int i = 0; i < 3; ++i) {
    // The change shows in the next triggered frame: no frame was made
    // before it.
    if (i == 2) {
      ASSERT_EQ(instance->SetParam("ReverseX", std::string("True")), H_MSG_OK);
    }
    ASSERT_EQ(instance->SetParam("do_TriggerSoftware", int64_t{0}), H_MSG_OK);
    ASSERT_EQ(instance->GrabAsync(500.0, &images), H_MSG_OK) << "trigger " << i;
    EXPECT_TRUE(CheckPattern(images, i == 2, false)) << "trigger " << i;
  }
  EXPECT_EQ(controls().CameraCounters(camera().key()).frames_delivered, delivered + 3);
}

// Catches a camera that vanishes during a grab and takes the interface
// with it: a hang beyond Aravis's own retries, a crash, a grab that
// reports success, a close that fails or leaks.
TEST_F(Grabs, ACameraDestroyedDuringAGrabGivesErrorsNotAHang) {
  std::unique_ptr<FakeGvCamera>& doomed = TheWorld().doomed;
  ASSERT_TRUE(doomed) << "destroyed by an earlier run";
  const std::string key = doomed->key();
  auto instance = OpenOk(key);
  ASSERT_TRUE(instance);
  Images images;
  ASSERT_EQ(instance->Grab(&images), H_MSG_OK);
  auto grab = std::async(std::launch::async, [&] {
    Herror status = H_MSG_OK;
    for (int i = 0; i < 50 && status == H_MSG_OK; ++i) {
      Images more;
      status = instance->Grab(&more);
    }
    return status;
  });
  std::this_thread::sleep_for(20ms);
  doomed.reset();
  ASSERT_EQ(grab.wait_for(10s), std::future_status::ready) << "grab hangs";
  EXPECT_NE(grab.get(), H_MSG_OK);
  const auto begin = std::chrono::steady_clock::now();
  EXPECT_NE(instance->Grab(&images), H_MSG_OK);
  EXPECT_EQ(instance->Close(), H_MSG_OK);
  // Aravis's heartbeat may hold the control channel for one time-out
  // (2.5 s) before the stop's own write times out.
  EXPECT_LT(std::chrono::steady_clock::now() - begin, 8s) << "beyond Aravis's retries";
  images.clear();
  ExpectNoLeaks("after the camera went");
  hostlayer::OpenParams params;
  params.device = key;
  std::unique_ptr<hostlayer::Instance> again;
  EXPECT_EQ(driver().Open(params, &again), H_ERR_FGDV);
}

using FaultSweep = AravisTest;

// The fault sweep (Tests/reliability/sweep.h) on the fake camera: each SDK
// operation of the session failed in turn.  The host's calls are swept on
// the simulator: which SDK serves the camera does not change them.  Also
// catches a close that leaves the camera connected, its stream or frames
// alive, or a camera that cannot be opened and grabbed from again.
TEST_F(FaultSweep, EverySdkCallOfASessionFailsInTurn) {
  const reliability::SweepTarget target{&controls(), camera().key(), [] { camera().Reset(); },
                                        false};
  reliability::RunFaultSweep(target, [&](const std::string& when) { ExpectNoLeaks(when); });
}

}  // namespace
}  // namespace aravistest
