// The fault sweep: one whole session (sweep_scenario.h) is run clean while
// every host call and SDK operation it makes is counted; then it is run
// again once per call, with exactly that call failing.  After each run the
// failing step must have answered a code the interface gives for that
// failure, the instance must close, nothing may be left live in the host
// or the SDK, and the camera must open and grab again.  Failures are
// reported to the running gtest test.
#pragma once

#include <functional>
#include <string>

#include "hostlayer/host_driver.h"
#include "sweep_scenario.h"

namespace reliability {

// `expect_no_leaks(when)` fails the test when more host blocks, host
// mutexes or SDK objects are live than when the test started.
void RunFaultSweep(const SweepTarget& target,
                   const std::function<void(const std::string&)>& expect_no_leaks);

// Brings the process-wide grab flags to one state whatever ran before: no
// asynchronous grab used, no stop pending, the stream stopped.
void ResetGrabFlags(hostlayer::Instance& instance);

}  // namespace reliability
