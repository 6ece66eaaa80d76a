// The fault sweep (Tests/reliability/sweep_runner.h) on the Aravis SDK's
// fake camera: each SDK operation of the session failed in turn.  The
// host's calls are swept on the simulator: which SDK serves the camera
// does not change them.
#include "aravis_fixture.h"
#include "sweep_runner.h"

namespace aravistest {
namespace {

using FaultSweep = AravisTest;

TEST_F(FaultSweep, EverySdkCallOfASessionFailsInTurn) {
  const reliability::SweepTarget target{&controls(), camera().key(), [] { camera().Reset(); },
                                        false};
  reliability::RunFaultSweep(target, [&](const std::string& when) { ExpectNoLeaks(when); });
}

}  // namespace
}  // namespace aravistest
