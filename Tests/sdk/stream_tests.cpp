// Streams of the simulator: the bounded buffer pool, drops, trigger
// sources, rate and a frame's content after its stream is gone.  The rules every SDK keeps are in
// Tests/sdk_conformance.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "sdk_fixture.h"

namespace sdktest {
namespace {

using namespace std::chrono_literals;

class Streams : public SimTest {
 protected:
  // Camera "S", connected, with a stream; `edit` adjusts it first.
  void Open(const std::function<void(simsdk::CameraConfig&)>& edit = nullptr) {
    simsdk::CameraConfig c = SmallCamera("S");
    if (edit) edit(c);
    simsdk::SetCameras({c});
    owner_.stream = OpenStream("S");
    ASSERT_NE(owner_.stream, nullptr);
    stream_ = owner_.stream;
  }
  void Start(uint64_t max_images = 0) {
    ASSERT_EQ(stream_->startGrabbing(stream_, max_images, SDK_GRAB_STRATEGY_ONE_BY_ONE), 0);
  }
  // Executes TriggerSoftware through the acquisition control.
  int32_t SoftwareTrigger() {
    GENICAM_Camera* camera = FindCamera("S");
    const ControlCreateInfo info = ControlInfo(camera);
    GENICAM_AcquisitionControl* acq = nullptr;
    if (GENICAM_createAcquisitionControl(&info, &acq) != 0) return -1;
    GENICAM_CmdNode cmd = acq->triggerSoftware(acq);
    const int32_t result = cmd.execute(&cmd);
    cmd.release(&cmd);
    acq->release(acq);
    return result;
  }

  void TearDown() override {
    owner_ = {};
    SimTest::TearDown();
  }

  StreamOwner owner_;
  GENICAM_StreamSource* stream_ = nullptr;
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
  std::vector<FrameOwner> held;
  for (uint64_t expected : {0u, 1u}) {
    held.push_back(GetFrame(stream_, 1000));
    ASSERT_NE(held.back().frame, nullptr);
    EXPECT_EQ(held.back().frame->getBlockId(held.back().frame), expected);
  }
  ASSERT_EQ(SoftwareTrigger(), 0);
  EXPECT_EQ(GetFrame(stream_, 20).frame, nullptr) << "a frame without a free buffer";
  EXPECT_EQ(SdkControls().CameraCounters("S").frames_outstanding, 2u);
  held.front().Release();
  ASSERT_EQ(SoftwareTrigger(), 0);
  FrameOwner next = GetFrame(stream_, 1000);
  ASSERT_NE(next.frame, nullptr);
  EXPECT_EQ(next.frame->getBlockId(next.frame), 6u);
  EXPECT_EQ(SdkControls().CameraCounters("S").frames_delivered, 3u);
}

// Catches a trigger mode that free-runs, or that makes more or fewer than
// one frame per trigger, for either source.
TEST_F(Streams, EachTriggerMakesExactlyOneFrameFromItsOwnSource) {
  Open([](simsdk::CameraConfig& c) { TriggeredBy(c, "Software"); });
  Start();
  EXPECT_EQ(GetFrame(stream_, 30).frame, nullptr) << "free-running in trigger mode";
  ASSERT_EQ(SoftwareTrigger(), 0);
  EXPECT_NE(GetFrame(stream_, 1000).frame, nullptr);
  EXPECT_EQ(GetFrame(stream_, 30).frame, nullptr) << "a second frame for one trigger";
  EXPECT_TRUE(simsdk::SendLinePulse("S"));
  EXPECT_EQ(GetFrame(stream_, 30).frame, nullptr) << "a line pulse in software mode";

  simsdk::UpdateCamera("S", [](simsdk::CameraConfig& c) { c.trigger_source.value = "Line1"; });
  ASSERT_EQ(SoftwareTrigger(), 0);
  EXPECT_EQ(GetFrame(stream_, 30).frame, nullptr) << "a software trigger in line mode";
  EXPECT_TRUE(simsdk::SendLinePulse("S"));
  EXPECT_TRUE(simsdk::SendLinePulse("S"));
  EXPECT_NE(GetFrame(stream_, 1000).frame, nullptr);
  EXPECT_NE(GetFrame(stream_, 1000).frame, nullptr);
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

// Catches a frame whose data or bookkeeping depends on its stream still
// existing.
TEST_F(Streams, AFrameOutlivesItsStream) {
  Open();
  Start();
  FrameOwner f = GetFrame(stream_, 1000);
  ASSERT_NE(f.frame, nullptr);
  owner_.stream->release(owner_.stream);
  owner_.stream = nullptr;
  const std::vector<uint8_t> expected =
      simsdk::RenderFrame(simsdk::LayoutOf(*simsdk::CameraState("S")), 0);
  ASSERT_EQ(f.frame->getImageSize(f.frame), expected.size());
  EXPECT_TRUE(std::equal(expected.begin(), expected.end(), f.frame->getImage(f.frame)));
  f.Release();
  EXPECT_EQ(SdkControls().CameraCounters("S").frames_outstanding, 0u);
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
    GENICAM_Camera* camera = FindCamera("S");
    const ControlCreateInfo info = ControlInfo(camera);
    GENICAM_ISPControl* isp = nullptr;
    ASSERT_EQ(GENICAM_createISPControl(&info, &isp), 0);
    for (int64_t v = 0, i = 0; !done && i < 20000; v = (v + 1) % 100, ++i) {
      GENICAM_IntNode n = isp->contrast(isp);
      n.setValue(&n, v);
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
