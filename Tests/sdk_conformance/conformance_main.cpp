// The SDK conformance tests: each case runs against every camera SDK
// library of the build, loaded by path.  The Aravis SDK's camera is
// Aravis's fake GigE Vision camera in a network namespace of the
// program's own; it is made before any thread starts.
#include <gtest/gtest.h>

#include "conformance_fixture.h"
#include "sim_control.h"
#ifdef HACQ_ARAVIS_SDK_PATH
#include "hacq_test/fake_gv_camera.h"
#include "hacq_test/private_network.h"
#endif

namespace conformance {
namespace {

std::string ResetSimulator() {
  static int generation = 0;
  // A new key each time: records of a replaced camera set fail.
  const std::string key = "CONF-" + std::to_string(++generation);
  simsdk::CameraConfig c = simsdk::DefaultCameras().front();
  c.key = key;
  c.width = {64, 16, 2048, 4, true};
  c.height = {48, 1, 2048, 1, true};
  c.pixel_format = {"Mono8", {"Mono8", "Mono16"}, true};
  c.acquisition_frame_rate = {10.0, 0.1, 1000.0, true};
  c.max_frame_rate = 500;
  simsdk::SetCameras({c});
  return key;
}

#ifdef HACQ_ARAVIS_SDK_PATH
void AddAravis() {
  const std::string network = hacq_test::EnterPrivateNetwork();
  if (!network.empty()) {
    AddSdk("aravis", HACQ_ARAVIS_SDK_PATH, nullptr,
           "no network namespace of its own (" + network + ")");
    return;
  }
  static auto* camera = new hacq_test::FakeGvCamera("127.0.0.1", "CONF");
  auto reset = [] {
    camera->Reset();
    return camera->key();
  };
  AddSdk("aravis", HACQ_ARAVIS_SDK_PATH, reset,
         camera->running() ? "" : "the fake camera did not start");
}
#endif

}  // namespace
}  // namespace conformance

int main(int argc, char** argv) {
#ifdef HACQ_ARAVIS_SDK_PATH
  conformance::AddAravis();
#endif
  conformance::AddSdk("sim", HACQ_SIM_SDK_PATH, conformance::ResetSimulator);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
