// The simulated SDK's tests: a fresh simulator per test, a stream the
// fixture releases, and no SDK object left live at the end.
#pragma once

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "camera_sdk.h"
#include "hacq_test/frame_owner.h"
#include "sdk_abi/controls.h"
#include "sim_control.h"

namespace sdktest {

using hacq_test::FrameOwner;

// The simulator's faults, write log, counters and live objects.
inline const sdkabi::Controls& SdkControls() {
  static const sdkabi::Controls controls = sdkabi::Controls::Linked();
  return controls;
}

// A 16 x 4 Mono8 camera with no rate limit unless a test sets one.
inline simsdk::CameraConfig SmallCamera(const std::string& key) {
  simsdk::CameraConfig c = simsdk::DefaultCameras().front();
  c.key = key;
  c.width = {16, 1, 4096, 1, true};
  c.height = {4, 1, 4096, 1, true};
  c.pixel_format = {"Mono8", {"Mono8"}, true};
  c.max_frame_rate = 0;
  return c;
}

// The records of a fresh discovery (a failure fails the test).
inline std::span<GENICAM_Camera> Discover() {
  GENICAM_System* system = nullptr;
  GENICAM_Camera* cameras = nullptr;
  uint32_t count = 0;
  if (GENICAM_getSystemInstance(&system) != 0 ||
      system->discovery(system, &cameras, &count, SDK_DISCOVERY_ALL) != 0) {
    ADD_FAILURE() << "discovery failed";
    return {};
  }
  return {cameras, count};
}

inline GENICAM_Camera* FindCamera(const std::string& key) {
  for (GENICAM_Camera& camera : Discover())
    if (key == camera.getKey(&camera)) return &camera;
  return nullptr;
}

// getFrame into a fresh owner; frame stays null on failure.
inline FrameOwner GetFrame(GENICAM_StreamSource* stream, uint32_t timeout_ms) {
  FrameOwner owner;
  GENICAM_Frame* frame = nullptr;
  if (stream->getFrame(stream, &frame, timeout_ms) == 0) owner.frame = frame;
  return owner;
}

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override { simsdk::Reset(); }
  void TearDown() override {
    if (stream_) stream_->release(stream_);
    // A leak here is a fault of the SDK's bookkeeping or of the test.
    EXPECT_EQ(SdkControls().LiveObjects(), sdkabi::LiveObjectCount{});
    simsdk::Reset();
  }

  // Connects `key` and opens a stream on it (not started) in place of
  // the last, released by TearDown.
  GENICAM_StreamSource* OpenStream(const std::string& key) {
    GENICAM_Camera* camera = FindCamera(key);
    if (!camera || camera->connect(camera, SDK_ACCESS_CONTROL) != 0) return nullptr;
    if (stream_) stream_->release(stream_);
    stream_ = nullptr;
    StreamSourceInfo info{camera, 0, {}};
    GENICAM_createStreamSource(&info, &stream_);
    return stream_;
  }
  GENICAM_StreamSource* stream_ = nullptr;
};

}  // namespace sdktest
