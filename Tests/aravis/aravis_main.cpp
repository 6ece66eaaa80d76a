// The interface's tests on the Aravis SDK.  Before any thread starts the
// program moves into a network of its own (Aravis's discovery broadcasts
// on every interface), makes the fake cameras there, chooses the Aravis
// SDK through HACQ_CAMERA_SDK and registers the interface.
#include <dlfcn.h>

#include <cstdlib>

#include "aravis_fixture.h"
#include "hacq_test/private_network.h"

namespace aravistest {
namespace {

void MakeWorld() {
  World& world = TheWorld();
  const std::string network = hacq_test::EnterPrivateNetwork(2);
  if (!network.empty()) {
    world.skip_reason = "no network namespace of its own (" + network + ")";
    return;
  }
  world.camera = std::make_unique<hacq_test::FakeGvCamera>("127.0.0.1", "OMB1");
  world.doomed = std::make_unique<hacq_test::FakeGvCamera>("127.0.0.2", "OMB2");
  if (!world.camera->running() || !world.doomed->running()) {
    world.skip_reason = "the fake cameras did not start";
    return;
  }
  // The library the interface loads for "aravis" (beside it), bound for
  // its test controls.
  void* library = dlopen(HACQ_ARAVIS_SDK_PATH, RTLD_NOW | RTLD_LOCAL);
  if (library)
    world.controls = sdkabi::Controls::Bind([&](const char* n) { return dlsym(library, n); });
  if (!world.controls) {
    world.skip_reason = std::string("cannot bind ") + HACQ_ARAVIS_SDK_PATH;
    return;
  }
  setenv("HACQ_CAMERA_SDK", "aravis", 1);
  hostlayer::Driver::Get();  // FGInit: one discovery for the whole program
}

}  // namespace
}  // namespace aravistest

int main(int argc, char** argv) {
  aravistest::MakeWorld();
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
