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
const sdkabi::Controls& SdkControls();

// A 16 x 4 Mono8 camera with no rate limit unless a test sets one.
simsdk::CameraConfig SmallCamera(const std::string& key);

// The records of a fresh discovery (a failure fails the test), and the
// one of `key`.
std::span<GENICAM_Camera> Discover();
GENICAM_Camera* FindCamera(const std::string& key);

// getFrame into a fresh owner; frame stays null on failure.
FrameOwner GetFrame(GENICAM_StreamSource* stream, uint32_t timeout_ms);

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Connects `key` and opens a stream on it (not started), released by
  // TearDown.
  GENICAM_StreamSource* OpenStream(const std::string& key);
  GENICAM_StreamSource* stream_ = nullptr;
};

}  // namespace sdktest
