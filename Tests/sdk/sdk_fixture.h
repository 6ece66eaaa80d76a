// The simulated SDK's tests: a fresh simulator per test, a stream the
// fixture releases, and no SDK object left live at the end.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "camera_sdk.h"
#include "hacq_test/frame_owner.h"
#include "sdk_abi/controls.h"
#include "sim_control.h"

namespace sdktest {

using hacq_test::FrameOwner;

// The simulator's faults, write log, counters and live objects.
const sdkabi::Controls& SdkControls();

// A camera with small frames and no rate limit unless a test sets one.
simsdk::CameraConfig SmallCamera(const std::string& key, const std::string& format = "Mono8",
                                 uint32_t width = 16, uint32_t height = 4);

// Discovers and returns the record of the camera with `key` (null if none).
GENICAM_Camera* FindCamera(const std::string& key);

// getFrame into a fresh owner; frame stays null on failure.
FrameOwner GetFrame(GENICAM_StreamSource* stream, uint32_t timeout_ms);

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Connects `key` and opens a stream on it (not started), released by
  // TearDown unless the test released it and set stream_ to null.
  GENICAM_StreamSource* OpenStream(const std::string& key);
  GENICAM_StreamSource* stream_ = nullptr;
};

}  // namespace sdktest
