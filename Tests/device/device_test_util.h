// Helpers shared by the device tests.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/records.h"
#include "hacq_test/interface_test.h"

namespace device_test {

// The interface's record behind an open instance.
inline const InstanceRecord& Record(hostlayer::Instance& instance) {
  return *instance.raw()->inst_data;
}

// A monochrome camera modelled on the built-in one, under a new identity.
inline simsdk::CameraConfig Camera(const std::string& key, const std::string& name) {
  simsdk::CameraConfig camera = simsdk::DefaultCameras().at(0);
  camera.key = key;
  camera.name = name;
  camera.serial = "SN-" + key;
  return camera;
}

// What an operation printed on standard output and standard error (the
// message boxes of this platform).
struct Output {
  std::string out;
  std::string err;
};
template <class Call>
Output Capture(Call&& call) {
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  call();
  Output output;
  output.err = testing::internal::GetCapturedStderr();
  output.out = testing::internal::GetCapturedStdout();
  return output;
}

}  // namespace device_test
