// The fault sweep: one whole session (open, synchronous, volatile and
// asynchronous grabs, parameter writes and reads, the software-trigger and
// continuous modes, an abort and the close) is run clean while every host
// call and SDK operation it makes is counted; then it is run again once
// per call, with exactly that call failing.  After each run the failing
// step must have answered a code the interface gives for that failure, the
// instance must close, nothing may be left live in the host or the SDK,
// and the camera must open and grab again.  Failures are reported to the
// running gtest test.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "sdk_abi/controls.h"

namespace reliability {

// The SDK and camera a sweep runs on.
struct SweepTarget {
  const sdkabi::Controls* controls;  // of the SDK library the interface loaded
  std::string camera;                // the key of the camera the session opens
  // Brings the camera's features back to the state the session starts from.
  std::function<void()> restore_camera;
  bool host_faults = true;  // fail each of the host's calls too
};

// `expect_no_leaks(when)` fails the test when more host blocks, host
// mutexes or SDK objects are live than when the test started.
using LeakCheck = std::function<void(const std::string&)>;
void RunFaultSweep(const SweepTarget& target, const LeakCheck& expect_no_leaks);

}  // namespace reliability
