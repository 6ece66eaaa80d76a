// The session the fault sweep replays: open, synchronous, volatile and
// asynchronous grabs, parameter writes and reads, the software-trigger and
// continuous modes, an abort and the close, as a list of steps.  Also the
// faults the sweep injects and the codes a step may answer for each.
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

struct Session {
  std::unique_ptr<hostlayer::Instance> instance;
};

struct Step {
  const char* name;
  StepKind kind;
  std::function<Herror(Session&)> run;
};

// The camera the session opens, and its steps in order.
inline constexpr char kSweepCamera[] = "MONO-2448";
const std::vector<Step>& SweepSteps();
hostlayer::OpenParams SweepOpenParams();

// The status an injected host fault returns.
inline constexpr Herror kInjectedHostCode = 7301;

// Calls made so far of every host call kind and every SDK operation.
struct CallCounts {
  std::array<int64_t, hostlayer::kHostCallKinds> host{};
  std::array<uint64_t, sdkabi::kFaultPoints> sdk{};
};
CallCounts CountCalls();

struct Fault {
  bool host;  // a HostCall, else a FaultPoint
  int kind;   // the HostCall or FaultPoint as a number
  int64_t nth;
};
std::string Describe(const Fault& fault);
// Makes the nth call of that kind from now fail.
void Arm(const Fault& fault);
// Whether the faulty call was made since `before` was counted.
bool Reached(const Fault& fault, const CallCounts& before);
// Calls of the fault's kind between two counts.
int64_t CallsBetween(bool host, int kind, const CallCounts& before, const CallCounts& after);

// The codes the step that made the failing call may answer.  H_MSG_OK is
// among them only where the interface deliberately ignores that failure.
std::vector<Herror> AllowedCodes(const Fault& fault, StepKind step);

}  // namespace reliability
