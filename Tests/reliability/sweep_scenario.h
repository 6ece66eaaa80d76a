// The session the fault sweep replays: open, synchronous, volatile and
// asynchronous grabs, parameter writes and reads, the software-trigger and
// continuous modes, an abort and the close, as a list of steps.  Also the
// faults the sweep injects and the codes a step may answer for each.  The
// session runs on any SDK library's camera (SweepTarget).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "hostlayer/host_control.h"
#include "hostlayer/host_driver.h"
#include "sdk_abi/controls.h"

namespace reliability {

enum class StepKind { Open, Grab, StartAsync, Set, Trigger, Get, Abort, Close };

// The SDK and camera a sweep runs on.
struct SweepTarget {
  const sdkabi::Controls* controls;  // of the SDK library the interface loaded
  std::string camera;                // the key of the camera the session opens
  // Brings the camera's features back to the state the session starts from.
  std::function<void()> restore_camera;
  bool host_faults = true;  // fail each of the host's calls too
};

struct Session {
  const SweepTarget* target;
  std::unique_ptr<hostlayer::Instance> instance;
};

struct Step {
  const char* name;
  StepKind kind;
  std::function<Herror(Session&)> run;
};

// The session's steps in order, and how it opens the camera.
const std::vector<Step>& SweepSteps();
hostlayer::OpenParams SweepOpenParams(const std::string& camera);

// The status an injected host fault returns.
inline constexpr Herror kInjectedHostCode = 7301;

// Calls made so far of every host call kind and every SDK operation.
struct CallCounts {
  std::array<int64_t, hostlayer::kHostCallKinds> host{};
  std::array<uint64_t, sdkabi::kFaultPoints> sdk{};
};
CallCounts CountCalls(const SweepTarget& target);

struct Fault {
  bool host;  // a HostCall, else a FaultPoint
  int kind;   // the HostCall or FaultPoint as a number
  int64_t nth;
};
std::string Describe(const Fault& fault);
// Makes the nth call of that kind from now fail.
void Arm(const Fault& fault, const SweepTarget& target);
// Whether the faulty call was made since `before` was counted.
bool Reached(const Fault& fault, const CallCounts& before, const SweepTarget& target);
// Calls of the fault's kind between two counts.
int64_t CallsBetween(bool host, int kind, const CallCounts& before, const CallCounts& after);

// The codes the step that made the failing call may answer.  H_MSG_OK is
// among them only where the interface deliberately ignores that failure.
std::vector<Herror> AllowedCodes(const Fault& fault, StepKind step);

}  // namespace reliability
