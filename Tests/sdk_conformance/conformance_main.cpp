// The SDK conformance tests: each case runs against every camera SDK
// library of the build, loaded by path.  The Aravis SDK's camera is
// Aravis's fake GigE Vision camera in a network namespace of the
// program's own; it is made before any thread starts.
#include <gtest/gtest.h>

#include <memory>

#include "sdk_under_test.h"
#include "sim_control.h"
#ifdef HACQ_ARAVIS_SDK_PATH
#include "hacq_test/fake_gv_camera.h"
#include "hacq_test/private_network.h"
#endif

namespace conformance {
namespace {

simsdk::CameraConfig ConformanceCamera(const std::string& key) {
  simsdk::CameraConfig c = simsdk::DefaultCameras().front();
  c.key = key;
  c.width = {64, 16, 2048, 4, true};
  c.height = {48, 1, 2048, 1, true};
  c.pixel_format = {"Mono8", {"Mono8", "Mono16"}, true};
  c.acquisition_frame_rate = {10.0, 0.1, 1000.0, true};
  c.max_frame_rate = 500;
  return c;
}

void AddSimulator() {
  SdksUnderTest().push_back({"sim", HACQ_SIM_SDK_PATH,
                             [] {
                               static int generation = 0;
                               // A new key each time: records of a
                               // replaced camera set fail.
                               const std::string key = "CONF-" + std::to_string(++generation);
                               simsdk::SetCameras({ConformanceCamera(key)});
                               return key;
                             },
                             ""});
}

#ifdef HACQ_ARAVIS_SDK_PATH
void AddAravis() {
  SdkUnderTest aravis{"aravis", HACQ_ARAVIS_SDK_PATH, nullptr, ""};
  aravis.skip_reason = hacq_test::EnterPrivateNetwork();
  if (aravis.skip_reason.empty()) {
    static auto* camera = new hacq_test::FakeGvCamera("127.0.0.1", "CONF");
    if (!camera->running()) aravis.skip_reason = "the fake camera did not start";
    aravis.reset = [] {
      camera->Reset();
      return camera->key();
    };
  } else {
    aravis.skip_reason = "no network namespace of its own (" + aravis.skip_reason + ")";
  }
  SdksUnderTest().push_back(aravis);
}
#endif

}  // namespace
}  // namespace conformance

int main(int argc, char** argv) {
#ifdef HACQ_ARAVIS_SDK_PATH
  conformance::AddAravis();
#endif
  conformance::AddSimulator();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
