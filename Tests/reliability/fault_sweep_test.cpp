// The fault sweep (sweep_runner.h) on the simulator's mono camera, over
// every host call and SDK operation of the session.
#include <gtest/gtest.h>

#include "hacq_test/interface_test.h"
#include "small_cameras.h"
#include "sweep_runner.h"

namespace reliability {
namespace {

class FaultSweep : public hacq_test::InterfaceTest {};

TEST_F(FaultSweep, EveryCallOfASessionFailsInTurn) {
  const std::vector<simsdk::CameraConfig> cameras = SmallCameras();
  UseCameras(cameras);
  // The camera as configured, so every run starts from the same feature
  // values whatever the previous run left written.
  auto restore = [&] {
    for (const simsdk::CameraConfig& config : cameras)
      if (config.key == kMonoKey)
        simsdk::UpdateCamera(kMonoKey, [&](simsdk::CameraConfig& c) { c = config; });
  };
  const SweepTarget target{&hacq_test::SdkControls(), kMonoKey, restore};
  RunFaultSweep(target, [&](const std::string& when) { ExpectNoLeaks(when); });
}

}  // namespace
}  // namespace reliability
