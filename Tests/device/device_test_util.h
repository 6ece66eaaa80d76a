// The device tests' fixture: the shared interface fixture, plus the
// interface's record behind an instance, cameras under new identities, and
// what an operation printed.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "base/records.h"
#include "hacq_test/interface_test.h"

namespace device_test {

using hacq_test::DefaultParams;
using hacq_test::kColorKey;
using hacq_test::kMonoKey;
using hacq_test::kMonoName;
using hacq_test::SdkControls;

class DeviceTest : public hacq_test::InterfaceTest {
 protected:
  static const InstanceRecord& Record(hostlayer::Instance& instance) {
    return *instance.raw()->inst_data;
  }

  // A monochrome camera modelled on the built-in one.
  static simsdk::CameraConfig Camera(const std::string& key, const std::string& name) {
    simsdk::CameraConfig camera = simsdk::DefaultCameras().at(0);
    camera.key = key;
    camera.name = name;
    camera.serial = "SN-" + key;
    return camera;
  }

  // What `call` printed: message lines on standard output, message boxes
  // (on this platform) on standard error.
  struct Output {
    std::string out;
    std::string err;
  };
  template <class Call>
  static Output Capture(Call&& call) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    call();
    std::string err = testing::internal::GetCapturedStderr();
    return {testing::internal::GetCapturedStdout(), std::move(err)};
  }
};

}  // namespace device_test
