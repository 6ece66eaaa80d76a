// A GigE Vision camera for the Aravis SDK's tests and benchmarks: Aravis's
// fake camera, made in this process, speaking GVCP and GVSP on an address
// of the private network (private_network.h), described by our GenICam
// file (fake_gv_camera.xml) and filled with a pattern that makes every
// pixel predictable.
//
// The pattern: the sample of the pixel at column x, row y of a frame is
// PatternSample(...) below, for every byte of the pixel (RGB8: red, green,
// blue add 0, 85 and 170).  `frame` is the low byte of the frame's GigE
// Vision block id, which a test reads back from any one pixel.
#pragma once

#include <arv.h>

#include <cstdint>
#include <string>

namespace hacq_test {

inline uint8_t PatternSample(uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                             bool reverse_x, bool reverse_y, uint8_t frame, int channel = 0) {
  const uint32_t sensor_x = reverse_x ? width - 1 - x : x;
  const uint32_t sensor_y = reverse_y ? height - 1 - y : y;
  return static_cast<uint8_t>(sensor_x + 3 * sensor_y + frame + 85 * channel);
}

// The frame byte that makes `sample` the pattern's at (x, y).
inline uint8_t PatternFrame(uint8_t sample, uint32_t x, uint32_t y, uint32_t width, uint32_t height,
                            bool reverse_x, bool reverse_y, int channel = 0) {
  return static_cast<uint8_t>(sample -
                              PatternSample(x, y, width, height, reverse_x, reverse_y, 0, channel));
}

// Addresses of the registers behind the features of our GenICam file.
namespace fake_register {
inline constexpr uint32_t kWidth = 0x100;
inline constexpr uint32_t kHeight = 0x104;
inline constexpr uint32_t kGainRaw = 0x110;
inline constexpr uint32_t kExposureTime = 0x120;  // microseconds
inline constexpr uint32_t kPixelFormat = 0x128;   // PFNC code
inline constexpr uint32_t kAcquisitionMode = 0x12c;
inline constexpr uint32_t kFramePeriod = 0x138;  // microseconds
inline constexpr uint32_t kTriggerMode = 0x300;
inline constexpr uint32_t kTriggerSource = 0x304;    // 0 Line0, 1 Software, 2 Line1
inline constexpr uint32_t kTriggerSoftware = 0x30c;  // 1 while a trigger is pending
inline constexpr uint32_t kReverseX = 0x8000;
inline constexpr uint32_t kReverseY = 0x8004;
inline constexpr uint32_t kExposureAuto = 0x8008;
inline constexpr uint32_t kFrameRateEnable = 0x800c;
inline constexpr uint32_t kGamma = 0x8010;  // IEEE double, big-endian
inline constexpr uint32_t kContrast = 0x8018;
inline constexpr uint32_t kDeviceUserId = 0xe8;  // 16 bytes
}  // namespace fake_register

class FakeGvCamera {
 public:
  // Serves on `address` (127.0.0.N) under the serial number `serial`.
  FakeGvCamera(const std::string& address, const std::string& serial);
  ~FakeGvCamera();
  FakeGvCamera(const FakeGvCamera&) = delete;
  FakeGvCamera& operator=(const FakeGvCamera&) = delete;

  bool running() const;
  // The Aravis device id, which is the SDK's camera key.
  const std::string& key() const { return key_; }

  // Every feature back to its start value: 64 x 48 Mono8 at 500 frames per
  // second, free-running, not reversed, exposure 1000 us, gain 1, gamma 1,
  // contrast 50, ExposureAuto Continuous, no user-defined name, no trigger
  // pending.
  void Reset();
  void SetRegister(uint32_t address, uint32_t value);
  uint32_t Register(uint32_t address) const;
  double Gamma() const;
  std::string DeviceUserId() const;

 private:
  ArvGvFakeCamera* gv_camera_;
  ArvFakeCamera* camera_;
  std::string key_;
};

}  // namespace hacq_test
