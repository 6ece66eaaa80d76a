// The simulator's cameras and streams: discovery, hot-plug, replaced
// sets, absent features, the scope of injected faults, the binding of the
// test controls; the bounded buffer pool, drops, trigger sources, rate,
// frame content across buffer reuse and setting changes, and concurrent
// consumers.  The rules every SDK keeps are in Tests/sdk_conformance.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <functional>
#include <future>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "pixvane/pixel_formats.h"
#include "sdk_fixture.h"

namespace sdktest {
namespace {

using namespace std::chrono_literals;
using sdkabi::FaultPoint;

using Cameras = SimTest;

// Catches an unplug that leaves a waiter asleep, an unplugged camera still
// listed or connectable, one that cannot be connected after replugging, an
// earlier discovery's records freed or rewritten by a later one, an empty
// name not kept empty, and records of a replaced set that still reach a
// camera.
TEST_F(Cameras, UnplugAndReplacedSetsFailOldRecordsCleanly) {
  simsdk::CameraConfig nameless = SmallCamera("N");
  nameless.name = "";
  nameless.trigger_mode.value = "On";
  simsdk::SetCameras({SmallCamera("A"), nameless, SmallCamera("C")});
  GENICAM_Camera* const camera = FindCamera("N");
  ASSERT_NE(OpenStream("N"), nullptr);
  ASSERT_EQ(stream_->startGrabbing(stream_, 0, 1), 0);
  auto waiter = std::async(std::launch::async, [&] {
    GENICAM_Frame* frame = nullptr;
    return stream_->getFrame(stream_, &frame, 20000);
  });
  std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(simsdk::Unplug("N"));
  ASSERT_EQ(waiter.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(waiter.get(), -1);
  EXPECT_EQ(FindCamera("N"), nullptr);
  EXPECT_NE(FindCamera("C"), nullptr);
  EXPECT_STREQ(camera->getKey(camera), "N");
  EXPECT_STREQ(camera->getName(camera), "");
  EXPECT_EQ(camera->isConnected(camera), -1);
  EXPECT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), -1);
  EXPECT_EQ(stream_->stopGrabbing(stream_), -1);
  ASSERT_TRUE(simsdk::Replug("N"));
  EXPECT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), 0);

  simsdk::SetCameras({SmallCamera("N")});
  EXPECT_EQ(camera->isConnected(camera), -1);
  EXPECT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), -1);
  EXPECT_STREQ(camera->getKey(camera), "N");
  EXPECT_FALSE(SdkControls().IsConnected("N"));
}

// Catches an increment check whose arithmetic overflows (limits as far
// apart as the type allows, whose distance does not fit it), and absent
// features that crash or answer.
TEST_F(Cameras, IncrementsOverTheWholeTypeAndAbsentFeatures) {
  simsdk::UpdateCamera("MONO-2448", [](simsdk::CameraConfig& c) {
    c.contrast = {0, INT64_MIN, INT64_MAX, 2};
    c.gamma.present = false;
    c.contrast_mode.present = false;
  });
  GENICAM_Camera* camera = FindCamera("MONO-2448");
  ASSERT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), 0);
  const ControlCreateInfo info{camera};
  GENICAM_ISPControl* isp = nullptr;
  ASSERT_EQ(GENICAM_createISPControl(&info, &isp), 0);
  for (const auto& [value, expected] : {std::pair{INT64_MAX, -1}, std::pair{INT64_MAX - 1, 0}}) {
    GENICAM_IntNode contrast = isp->contrast(isp);
    EXPECT_EQ(contrast.setValue(&contrast, value), expected) << value;
    contrast.release(&contrast);
  }
  isp->release(isp);

  GENICAM_AnalogControl* analog = nullptr;
  ASSERT_EQ(GENICAM_createAnalogControl(&info, &analog), 0);
  GENICAM_DoubleNode gamma = analog->gamma(analog);
  EXPECT_EQ(gamma.priv, nullptr);
  double value = 0;
  EXPECT_EQ(gamma.getValue(&gamma, &value), -1);
  EXPECT_EQ(gamma.setValue(&gamma, 1.0), -1);
  EXPECT_EQ(gamma.getMaxVal(&gamma, &value), -1);
  EXPECT_EQ(gamma.release(&gamma), -1);
  analog->release(analog);
  FeatureNodeInfo by_name{camera, "ContrastMode"};
  GENICAM_EnumNode* node = nullptr;
  EXPECT_EQ(GENICAM_createEnumNode(&by_name, &node), -1);
}

// Catches a feature fault that hits another camera, and a write refused by
// a fault that still changes the camera or is logged as accepted.
TEST_F(Cameras, FeatureFaultsHitOnlyTheirCamera) {
  simsdk::SetCameras({SmallCamera("A"), SmallCamera("B")});
  SdkControls().InjectFault("A", FaultPoint::FeatureWrite, sdkabi::kForever, "Gamma");
  for (const std::string key : {"A", "B"}) {
    GENICAM_Camera* camera = FindCamera(key);
    ASSERT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), 0);
    const ControlCreateInfo info{camera};
    GENICAM_AnalogControl* analog = nullptr;
    ASSERT_EQ(GENICAM_createAnalogControl(&info, &analog), 0);
    GENICAM_DoubleNode gamma = analog->gamma(analog);
    const bool faulted = key == "A";
    EXPECT_EQ(gamma.setValue(&gamma, 2.0), faulted ? -1 : 0) << key;
    EXPECT_EQ(simsdk::CameraState(key)->gamma.value, faulted ? 1.0 : 2.0) << key;
    EXPECT_EQ(SdkControls().WriteLog(key),
              (std::vector<sdkabi::LogEntry>{{"Gamma", "2", !faulted}}))
        << key;
    gamma.release(&gamma);
    analog->release(analog);
  }
}

// Catches a fault request the control cannot honour that still arms a
// rule (a count of 0 failing one call) or reads past the table of points.
TEST_F(Cameras, FaultRequestsOutsideTheContractArmNothing) {
  simsdk::SetCameras({SmallCamera("A")});
  const auto connect = static_cast<int32_t>(FaultPoint::Connect);
  // What is wrong, and the request's key, point, count and skip.
  const std::tuple<const char*, const char*, int32_t, int32_t, int32_t> requests[] = {
      {"count 0", "A", connect, 0, 0},
      {"count -2", "A", connect, -2, 0},
      {"negative skip", "A", connect, 1, -1},
      {"unknown point", "A", sdkabi::kFaultPoints, 1, 0},
      {"no key", nullptr, connect, 1, 0}};
  for (const auto& [what, key, point, count, skip] : requests) {
    EXPECT_EQ(SDKCTL_InjectFault(key, point, count, skip, ""), -1) << what;
    GENICAM_Camera* camera = FindCamera("A");
    EXPECT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), 0) << what;
  }
}

// Catches a binding that hands out controls with an entry point missing
// (the first call through it would crash).
TEST(ControlBinding, AnyMissingEntryPointBindsNothing) {
  void* library = dlopen(HACQ_SIM_SDK_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const char* missing :
       {"SDKCTL_InjectFault", "SDKCTL_ClearFaults", "SDKCTL_FaultableCalls", "SDKCTL_VisitWriteLog",
        "SDKCTL_ClearWriteLog", "SDKCTL_CameraCounters", "SDKCTL_IsConnected", "SDKCTL_IsGrabbing",
        "SDKCTL_LiveObjects"}) {
    ASSERT_NE(dlsym(library, missing), nullptr) << missing;
    const auto bound = sdkabi::Controls::Bind([&](const char* name) {
      return std::strcmp(name, missing) == 0 ? nullptr : dlsym(library, name);
    });
    EXPECT_FALSE(bound) << missing;
  }
  dlclose(library);
}

class Streams : public SimTest {
 protected:
  // Camera "S", connected, with a stream; `edit` adjusts it first.
  void Open(const std::function<void(simsdk::CameraConfig&)>& edit) {
    simsdk::CameraConfig c = SmallCamera("S");
    edit(c);
    simsdk::SetCameras({c});
    ASSERT_NE(OpenStream("S"), nullptr);
  }
  void Start(uint64_t max_images = 0) {
    ASSERT_EQ(stream_->startGrabbing(stream_, max_images, SDK_GRAB_STRATEGY_ONE_BY_ONE), 0);
  }
  int32_t SoftwareTrigger() {
    const ControlCreateInfo info{FindCamera("S")};
    GENICAM_AcquisitionControl* acq = nullptr;
    if (GENICAM_createAcquisitionControl(&info, &acq) != 0) return -1;
    GENICAM_CmdNode cmd = acq->triggerSoftware(acq);
    const int32_t result = cmd.execute(&cmd);
    cmd.release(&cmd);
    acq->release(acq);
    return result;
  }
  uint64_t BlockIdOfNextFrame() {
    FrameOwner f = GetFrame(stream_, 1000);
    return f.frame ? f.frame->getBlockId(f.frame) : UINT64_MAX;
  }
};

void TriggeredBy(simsdk::CameraConfig& c, const char* source) {
  c.trigger_mode.value = "On";
  c.trigger_source.value = source;
}

// Catches a pool that grows past its buffers, a frame whose buffer is not
// returned on release, drops that are not counted, frames that overwrite
// queued ones, and block ids that do not show the loss.
TEST_F(Streams, ThePoolBoundsHeldFramesAndDropsAreCounted) {
  Open([](simsdk::CameraConfig& c) {
    c.buffer_count = 2;
    TriggeredBy(c, "Software");
  });
  Start();
  for (int i = 0; i < 5; ++i) ASSERT_EQ(SoftwareTrigger(), 0);
  EXPECT_EQ(SdkControls().CameraCounters("S").frames_dropped, 3u);
  FrameOwner first = GetFrame(stream_, 1000);
  FrameOwner second = GetFrame(stream_, 1000);
  ASSERT_NE(first.frame, nullptr);
  ASSERT_NE(second.frame, nullptr);
  EXPECT_EQ(first.frame->getBlockId(first.frame), 0u);
  EXPECT_EQ(second.frame->getBlockId(second.frame), 1u);
  ASSERT_EQ(SoftwareTrigger(), 0);
  EXPECT_EQ(GetFrame(stream_, 20).frame, nullptr) << "a frame without a free buffer";
  EXPECT_EQ(SdkControls().CameraCounters("S").frames_outstanding, 2u);
  first.Release();
  ASSERT_EQ(SoftwareTrigger(), 0);
  EXPECT_EQ(BlockIdOfNextFrame(), 6u);
  EXPECT_EQ(SdkControls().CameraCounters("S").frames_delivered, 3u);
}

// Catches a line trigger that free-runs or makes more or fewer than one
// frame per pulse, and a trigger of the other source that makes a frame.
TEST_F(Streams, EachTriggerSourceMakesOneFramePerTriggerOfItsOwn) {
  Open([](simsdk::CameraConfig& c) { TriggeredBy(c, "Software"); });
  Start();
  EXPECT_TRUE(simsdk::SendLinePulse("S"));
  EXPECT_EQ(GetFrame(stream_, 30).frame, nullptr) << "a line pulse in software mode";
  simsdk::UpdateCamera("S", [](simsdk::CameraConfig& c) { c.trigger_source.value = "Line1"; });
  ASSERT_EQ(SoftwareTrigger(), 0);
  EXPECT_EQ(GetFrame(stream_, 30).frame, nullptr) << "a software trigger in line mode";
  EXPECT_TRUE(simsdk::SendLinePulse("S"));
  EXPECT_TRUE(simsdk::SendLinePulse("S"));
  EXPECT_EQ(BlockIdOfNextFrame(), 0u);
  EXPECT_EQ(BlockIdOfNextFrame(), 1u);
  EXPECT_EQ(GetFrame(stream_, 30).frame, nullptr);
}

// Catches a rate that is not applied: frames at 50 per second cannot come
// faster than 20 ms apart (a lower bound only, so a slow machine passes).
TEST_F(Streams, AcquisitionFrameRateBoundsTheFrameInterval) {
  Open([](simsdk::CameraConfig& c) {
    c.acquisition_frame_rate_enable.value = true;
    c.acquisition_frame_rate = {50.0, 1.0, 100.0, true};
  });
  Start();
  const auto begin = std::chrono::steady_clock::now();
  for (int i = 0; i < 6; ++i) ASSERT_NE(GetFrame(stream_, 2000).frame, nullptr);
  EXPECT_GE(std::chrono::steady_clock::now() - begin, 5 * 20ms - 2ms);
}

// Catches a stream that delivers a stale or half-drawn buffer (pool
// reuse), wrong metadata, or a frame that does not follow the current
// settings (format, size, mirroring, padding, exposure), also after they
// changed between two acquisitions.  These formats cover the stream's
// layout families; the encoder is checked per format in
// frame_content_tests.cpp.
TEST_F(Streams, FramesEqualTheRenderedFrameAndFollowSettingChanges) {
  for (const char* format : {"Mono12Packed", "RGB8", "YUV422_8"}) {
    SCOPED_TRACE(format);
    Open([&](simsdk::CameraConfig& c) {
      c.pixel_format = {format, {format}, true};
      c.width = {64, 1, 64, 1, true};
      c.height = {80, 1, 80, 1, true};
      c.reverse_x.value = true;
      c.padding_x = 2;
      c.padding_y = 7;
      c.buffer_count = 2;
    });
    for (const bool second_setting : {false, true}) {
      simsdk::UpdateCamera("S", [&](simsdk::CameraConfig& c) {
        c.reverse_y.value = second_setting;
        c.exposure_time.value = second_setting ? 4000 : 10000;
      });
      const simsdk::FrameLayout layout = simsdk::LayoutOf(*simsdk::CameraState("S"));
      Start();
      // More frames than buffers, so every buffer is reused.
      for (uint64_t n = 0; n < 5; ++n) {
        FrameOwner f = GetFrame(stream_, 1000);
        ASSERT_NE(f.frame, nullptr);
        GENICAM_Frame* fr = f.frame;
        const std::vector<uint8_t> expected = simsdk::RenderFrame(layout, n);
        ASSERT_EQ(fr->getImageSize(fr), expected.size());
        EXPECT_EQ(std::make_tuple(fr->getBlockId(fr), fr->valid(fr), fr->getImageWidth(fr),
                                  fr->getImageHeight(fr), fr->getImagePixelFormat(fr),
                                  fr->getImagePaddingX(fr), fr->getImagePaddingY(fr)),
                  std::make_tuple(n, 0, layout.width, layout.height,
                                  pixvane::FindPixelFormat(format)->code, layout.padding_x,
                                  layout.padding_y));
        ASSERT_EQ(std::vector<uint8_t>(fr->getImage(fr), fr->getImage(fr) + expected.size()),
                  expected)
            << "frame " << n;
      }
      ASSERT_EQ(stream_->stopGrabbing(stream_), 0);
    }
  }
}

// For the thread sanitizer: consumers, a trigger source and feature
// writes at once must neither race nor lose or duplicate frames.
TEST_F(Streams, ConcurrentConsumersGetEveryFrameOnce) {
  Open([](simsdk::CameraConfig& c) { c.buffer_count = 3; });
  Start(200);
  std::mutex seen_mutex;
  std::set<uint64_t> seen;
  auto consume = [&] {
    while (true) {
      FrameOwner f = GetFrame(stream_, 200);
      if (!f.frame) return;
      std::lock_guard lock(seen_mutex);
      EXPECT_TRUE(seen.insert(f.frame->getBlockId(f.frame)).second);
    }
  };
  std::atomic<bool> done{false};
  std::thread writer([&] {
    const ControlCreateInfo info{FindCamera("S")};
    GENICAM_ISPControl* isp = nullptr;
    ASSERT_EQ(GENICAM_createISPControl(&info, &isp), 0);
    for (int64_t i = 0; !done && i < 20000; ++i) {
      GENICAM_IntNode n = isp->contrast(isp);
      n.setValue(&n, i % 100);
      n.release(&n);
    }
    isp->release(isp);
  });
  std::thread a(consume), b(consume);
  a.join();
  b.join();
  done = true;
  writer.join();
  EXPECT_EQ(seen.size(), 200u);
}

}  // namespace
}  // namespace sdktest
