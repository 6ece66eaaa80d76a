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
#include <memory>
#include <string>

#include "hostlayer/host_driver.h"
#include "sdk_abi/controls.h"

namespace reliability {

// Brings the process-wide grab flags to one state whatever ran before: no
// asynchronous grab used, no stop pending, the stream stopped (the next
// grab starts it at frame 0).
inline void ResetGrabFlags(hostlayer::Instance& instance) {
  EXPECT_EQ(instance.SetParam("do_abort_grab", int64_t{0}), H_MSG_OK);
  EXPECT_EQ(instance.SetParam("grab_timeout", int64_t{5000}), H_MSG_OK);  // asks for a stop
  hostlayer::Images images;
  EXPECT_EQ(instance.Grab(&images), H_MSG_OK);  // takes the stop and clears it
}

enum class StepKind { Open, Grab, StartAsync, Set, Trigger, Get, Abort, Close };

// One step of a session.  Set, Trigger and Abort write `value` to
// `parameter`, Get reads it; a grab with a delay is asynchronous, an
// asynchronous start waits up to the delay.
struct Step {
  const char* name;
  StepKind kind;
  const char* parameter = nullptr;
  hostlayer::Value value = int64_t{0};
  double delay = 0;
};

// Runs `step` on `instance` (an Open opens `camera` into it).
Herror RunStep(const Step& step, std::unique_ptr<hostlayer::Instance>& instance,
               const std::string& camera);

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
