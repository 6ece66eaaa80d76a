// Streams of the simulator: the bounded buffer pool, drops, trigger
// sources, rate, frame content across buffer reuse and setting changes,
// and concurrent consumers.  The rules every SDK keeps are in
// Tests/sdk_conformance.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

#include "pixvane/pixel_formats.h"
#include "sdk_fixture.h"

namespace sdktest {
namespace {

using namespace std::chrono_literals;

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
