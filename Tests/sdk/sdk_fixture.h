// Shared set-up for the simulated SDK's tests: a fresh simulator per test
// and small owners for the SDK objects a test makes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "camera_sdk.h"
#include "sdk_abi/controls.h"
#include "sim_control.h"

namespace sdktest {

// The simulator's faults, write log, counters and live objects.
const sdkabi::Controls& SdkControls();

// A camera with small frames and no rate limit unless a test sets one.
simsdk::CameraConfig SmallCamera(const std::string& key, const std::string& format = "Mono8",
                                 uint32_t width = 16, uint32_t height = 4);

// Discovers and returns the record of the camera with `key` (null if none).
GENICAM_Camera* FindCamera(const std::string& key);

struct StreamOwner {
  GENICAM_StreamSource* stream = nullptr;
  StreamOwner() = default;
  explicit StreamOwner(GENICAM_StreamSource* s) : stream(s) {}
  StreamOwner(const StreamOwner&) = delete;
  // Assigning releases the stream held so far.
  StreamOwner& operator=(StreamOwner&& other) noexcept {
    std::swap(stream, other.stream);
    return *this;
  }
  ~StreamOwner() {
    if (stream) stream->release(stream);
  }
};

struct FrameOwner {
  GENICAM_Frame* frame = nullptr;
  FrameOwner() = default;
  FrameOwner(FrameOwner&& other) noexcept : frame(other.frame) { other.frame = nullptr; }
  FrameOwner& operator=(FrameOwner&&) = delete;
  ~FrameOwner() { Release(); }
  void Release() {
    if (frame) frame->release(frame);
    frame = nullptr;
  }
};

// Connects `key` and opens a stream on it (not started).
GENICAM_StreamSource* OpenStream(const std::string& key);

// getFrame into a fresh owner; frame stays null on failure.
FrameOwner GetFrame(GENICAM_StreamSource* stream, uint32_t timeout_ms);

ControlCreateInfo ControlInfo(GENICAM_Camera* camera);

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
};

}  // namespace sdktest
