#include "sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

#include "hostlayer/host_control.h"
#include "hostlayer/host_driver.h"

namespace reliability {
namespace {

using hostlayer::HostCall;
using hostlayer::Images;
using hostlayer::Instance;
using sdkabi::FaultPoint;

// The status an injected host fault returns.
constexpr Herror kInjectedHostCode = 7301;

// clang-format off
constexpr const char* kHostCallNames[] = {
    "Alloc", "Free", "NewImage", "NewImagePtr", "MutexInit", "MutexLock", "MutexUnlock",
    "MutexDestroy", "GlVarRead", "GlVarWrite", "GetDefaults"};
constexpr const char* kFaultPointNames[] = {
    "SystemInstance", "Discovery", "Connect", "Disconnect", "CreateAcquisitionControl",
    "CreateImageFormatControl", "CreateAnalogControl", "CreateISPControl", "CreateUserSetControl",
    "CreateDeviceControl", "CreateStream", "StartGrabbing", "StopGrabbing", "FrameTimeout",
    "InvalidFrame", "FeatureRead", "FeatureWrite", "EnumList", "CreateEnumNode", "CreateStringNode",
    "CommandExecute"};
// clang-format on
static_assert(std::size(kHostCallNames) == hostlayer::kHostCallKinds);
static_assert(std::size(kFaultPointNames) == sdkabi::kFaultPoints);

enum class StepKind { Open, Grab, StartAsync, Set, Trigger, Get, Abort, Close };

struct Step {
  const char* name;
  StepKind kind;
  std::function<Herror(std::unique_ptr<Instance>&, const std::string& camera)> run;
};

hostlayer::OpenParams OpenParams(const std::string& camera) {
  hostlayer::OpenParams params;
  params.device = camera;
  params.color_space = std::string("gray");
  params.generic = {std::string("num_buffers=3")};
  return params;
}

Herror Grab(std::unique_ptr<Instance>& instance, const std::string&) {
  Images images;
  return instance->Grab(&images);
}
auto GrabAsync(double delay) {
  return [delay](std::unique_ptr<Instance>& instance, const std::string&) {
    Images images;
    return instance->GrabAsync(delay, &images);
  };
}
auto Set(const char* name, hostlayer::Value value) {
  return [name, value](std::unique_ptr<Instance>& instance, const std::string&) {
    return instance->SetParam(name, value);
  };
}
auto Get(const char* name) {
  return [name](std::unique_ptr<Instance>& instance, const std::string&) {
    std::vector<hostlayer::Value> values;
    return instance->GetParam(name, &values);
  };
}

const std::vector<Step>& Steps() {
  static const std::vector<Step> steps = {
      {"open", StepKind::Open,
       [](std::unique_ptr<Instance>& instance, const std::string& camera) {
         return hostlayer::Driver::Get().Open(OpenParams(camera), &instance);
       }},
      {"grab", StepKind::Grab, Grab},
      {"set ExposureTime", StepKind::Set, Set("ExposureTime", 2500.0)},
      {"get ExposureTime", StepKind::Get, Get("ExposureTime")},
      {"get ExposureTime_range", StepKind::Get, Get("ExposureTime_range")},
      {"set Contrast", StepKind::Set, Set("Contrast", int64_t{12})},
      {"get Width_range", StepKind::Get, Get("Width_range")},
      {"set ReverseX", StepKind::Set, Set("ReverseX", std::string("True"))},
      {"set DeviceUserID", StepKind::Set, Set("DeviceUserID", std::string("sweep"))},
      {"get DeviceUserID", StepKind::Get, Get("DeviceUserID")},
      {"grab that stops", StepKind::Grab, Grab},
      {"grab that restarts", StepKind::Grab, Grab},
      {"set volatile enable", StepKind::Set, Set("volatile", std::string("enable"))},
      {"volatile grab", StepKind::Grab, Grab},
      {"set volatile disable", StepKind::Set, Set("volatile", std::string("disable"))},
      {"start async", StepKind::StartAsync,
       [](std::unique_ptr<Instance>& instance, const std::string&) {
         return instance->GrabStartAsync(200.0);
       }},
      {"grab async", StepKind::Grab, GrabAsync(200.0)},
      {"set software_trigger", StepKind::Trigger,
       Set("TriggerMode", std::string("software_trigger"))},
      {"do_TriggerSoftware", StepKind::Trigger, Set("do_TriggerSoftware", int64_t{1})},
      {"triggered grab", StepKind::Grab, GrabAsync(500.0)},
      {"set continuous", StepKind::Trigger, Set("TriggerMode", std::string("continuous"))},
      {"get TriggerMode", StepKind::Get, Get("TriggerMode")},
      {"grab async continuous", StepKind::Grab, GrabAsync(200.0)},
      {"do_abort_grab", StepKind::Abort, Set("do_abort_grab", int64_t{0})},
      {"grab after abort", StepKind::Grab, Grab},
      {"close", StepKind::Close,
       [](std::unique_ptr<Instance>& instance, const std::string&) { return instance->Close(); }},
  };
  return steps;
}

bool In(FaultPoint op, std::initializer_list<FaultPoint> ops) {
  return std::find(ops.begin(), ops.end(), op) != ops.end();
}

// The codes the step that made a failing SDK call may answer.  H_MSG_OK is
// among them only where the interface deliberately ignores that failure.
std::vector<Herror> SdkAllowed(FaultPoint op, StepKind step) {
  const bool makes_objects =
      In(op, {FaultPoint::Connect, FaultPoint::CreateAcquisitionControl,
              FaultPoint::CreateImageFormatControl, FaultPoint::CreateAnalogControl,
              FaultPoint::CreateISPControl, FaultPoint::CreateUserSetControl,
              FaultPoint::CreateDeviceControl, FaultPoint::CreateStream});
  switch (step) {
    case StepKind::Open:
      if (makes_objects) return {H_ERR_FGDV};
      // A size that cannot be read leaves 0: no frame buffer (H_ERR_FGDV)
      // or no image part that fits (H_ERR_FGWR, H_ERR_FGWP).  Other reads
      // and the two "Off" writes are not checked.
      if (op == FaultPoint::FeatureRead) return {H_MSG_OK, H_ERR_FGDV, H_ERR_FGWR, H_ERR_FGWP};
      return {H_MSG_OK};
    case StepKind::Grab:
      if (makes_objects || In(op, {FaultPoint::StartGrabbing, FaultPoint::StopGrabbing}))
        return {H_ERR_FGDV};
      // An incomplete frame is not delivered.
      if (In(op, {FaultPoint::FrameTimeout, FaultPoint::InvalidFrame})) return {H_ERR_FGTIMEOUT};
      return {H_MSG_OK};
    case StepKind::StartAsync:
      if (makes_objects || op == FaultPoint::StartGrabbing) return {H_ERR_FGDV};
      return {H_MSG_OK};
    case StepKind::Trigger:
      if (In(op, {FaultPoint::FeatureWrite, FaultPoint::CommandExecute})) return {H_ERR_FGTRIGGER};
      return {H_MSG_OK};
    case StepKind::Get:  // a range the camera cannot tell
      if (op == FaultPoint::FeatureRead) return {H_ERR_FGPARV};
      return {H_MSG_OK};
    case StepKind::Set:  // a refused write fails the set
      if (op == FaultPoint::FeatureWrite) return {H_ERR_FGPARV};
      return {H_MSG_OK};
    case StepKind::Abort:  // the abort's stop is not checked
    case StepKind::Close:  // stop and disconnect failures are only printed
      return {H_MSG_OK};
  }
  return {};
}

// One call of one kind (a HostCall, else a FaultPoint) made to fail.
struct Fault {
  bool host;
  int kind;
  int64_t nth;
};

std::vector<Herror> AllowedCodes(const Fault& fault, StepKind step) {
  if (!fault.host) return SdkAllowed(static_cast<FaultPoint>(fault.kind), step);
  // Every host call the interface makes is a guarded call whose status
  // ends the operation, except the unlock with which a grab yields its
  // mutex: when that fails the grab goes on without yielding.
  if (step == StepKind::Grab && static_cast<HostCall>(fault.kind) == HostCall::MutexUnlock)
    return {kInjectedHostCode, H_MSG_OK};
  return {kInjectedHostCode};
}

std::string Describe(const Fault& fault) {
  return std::string(fault.host ? kHostCallNames[fault.kind] : kFaultPointNames[fault.kind]) +
         " call " + std::to_string(fault.nth);
}

// Calls made so far of every host call kind and every SDK operation.
struct CallCounts {
  std::array<int64_t, hostlayer::kHostCallKinds> host{};
  std::array<int64_t, sdkabi::kFaultPoints> sdk{};
};

CallCounts CountCalls(const SweepTarget& target) {
  CallCounts counts;
  for (int i = 0; i < hostlayer::kHostCallKinds; ++i)
    counts.host[i] = hostlayer::CallCount(static_cast<HostCall>(i));
  for (int i = 0; i < sdkabi::kFaultPoints; ++i)
    counts.sdk[i] =
        static_cast<int64_t>(target.controls->FaultableCalls(static_cast<FaultPoint>(i)));
  return counts;
}

int64_t CallsBetween(bool host, int kind, const CallCounts& before, const CallCounts& after) {
  return host ? after.host[kind] - before.host[kind] : after.sdk[kind] - before.sdk[kind];
}

// Brings the process-wide grab flags to one state whatever ran before: no
// asynchronous grab used, no stop pending, the stream stopped.
void ResetGrabFlags(Instance& instance) {
  EXPECT_EQ(instance.SetParam("do_abort_grab", int64_t{0}), H_MSG_OK);
  EXPECT_EQ(instance.SetParam("grab_timeout", int64_t{5000}), H_MSG_OK);  // asks for a stop
  Images images;
  EXPECT_EQ(instance.Grab(&images), H_MSG_OK);  // takes the stop and clears it
}

// Runs `body` with the interface's printed lines held back; they are shown
// only when the body recorded a failure (gtest reports it there too).
template <class Body>
void Quietly(Body&& body) {
  const auto results = [] {
    return testing::UnitTest::GetInstance()->current_test_info()->result()->total_part_count();
  };
  const int before = results();
  testing::internal::CaptureStdout();
  body();
  const std::string printed = testing::internal::GetCapturedStdout();
  if (results() != before) std::fputs(printed.c_str(), stdout);
}

class Sweep {
 public:
  Sweep(const SweepTarget& target, const std::function<void(const std::string&)>& expect_no_leaks)
      : target_(target), expect_no_leaks_(expect_no_leaks) {}

  // Catches a wrong code for a failure, a failure that surfaces at a step
  // that did not make the failing call, and a failure reported as success
  // where the interface must report it.  Without a fault every step must
  // succeed.
  void RunSession(const Fault* fault, std::unique_ptr<Instance>& instance) {
    const CallCounts before = CountCalls(target_);
    if (fault && fault->host) {
      hostlayer::FailCall(static_cast<HostCall>(fault->kind), fault->nth, kInjectedHostCode);
    } else if (fault) {
      target_.controls->InjectFaultAt(target_.camera, static_cast<FaultPoint>(fault->kind),
                                      static_cast<int>(fault->nth));
    }
    int reached = -1;
    for (size_t i = 0; i < Steps().size(); ++i) {
      const Step& step = Steps()[i];
      const Herror status = step.run(instance, target_.camera);
      if (fault && reached < 0 &&
          CallsBetween(fault->host, fault->kind, before, CountCalls(target_)) >= fault->nth)
        reached = static_cast<int>(i);
      if (reached == static_cast<int>(i)) {
        const std::vector<Herror> allowed = AllowedCodes(*fault, step.kind);
        std::ostringstream codes;
        for (Herror code : allowed) codes << code << ' ';
        EXPECT_NE(std::find(allowed.begin(), allowed.end(), status), allowed.end())
            << "step " << step.name << " answered " << status << ", expected one of "
            << codes.str();
      } else {
        EXPECT_EQ(status, H_MSG_OK)
            << "step " << step.name
            << (reached < 0 ? " before the failing call" : " after an ignored failure");
      }
      if (status != H_MSG_OK) break;
    }
    if (fault) {
      EXPECT_GE(reached, 0) << "the failing call was never made";
    }
  }

  // Catches an instance that cannot be closed after a failure, leaks, a
  // frame kept from the SDK, and a camera left unusable.
  void CheckRecovery(std::unique_ptr<Instance>& instance, const std::string& what) {
    hostlayer::Reset();
    target_.controls->ClearFaults();
    if (instance && instance->is_open()) {
      EXPECT_EQ(instance->Close(), H_MSG_OK) << "closing after " << what;
    }
    instance.reset();
    expect_no_leaks_("after " + what);
    EXPECT_EQ(target_.controls->CameraCounters(target_.camera).frames_outstanding, 0u) << what;
    target_.restore_camera();
    std::unique_ptr<Instance> again;
    ASSERT_EQ(hostlayer::Driver::Get().Open(OpenParams(target_.camera), &again), H_MSG_OK)
        << "reopening after " << what;
    {
      Images images;
      EXPECT_EQ(again->Grab(&images), H_MSG_OK) << "grabbing after " << what;
    }
    ResetGrabFlags(*again);
    EXPECT_EQ(again->Close(), H_MSG_OK);
    expect_no_leaks_("after reopening, " + what);
    target_.restore_camera();
  }

  void Run() {
    {
      std::unique_ptr<Instance> settle;
      ASSERT_EQ(hostlayer::Driver::Get().Open(OpenParams(target_.camera), &settle), H_MSG_OK);
      ResetGrabFlags(*settle);
    }
    target_.restore_camera();

    const CallCounts before = CountCalls(target_);
    std::unique_ptr<Instance> clean;
    Quietly([&] { RunSession(nullptr, clean); });
    const CallCounts after = CountCalls(target_);
    ASSERT_FALSE(testing::Test::HasFailure());
    clean.reset();
    CheckRecovery(clean, "the clean run");

    std::vector<Fault> faults;
    std::ostringstream per_kind;
    for (bool host : {true, false}) {
      if (host && !target_.host_faults) continue;
      const int kinds = host ? hostlayer::kHostCallKinds : sdkabi::kFaultPoints;
      for (int kind = 0; kind < kinds; ++kind) {
        const int64_t calls = CallsBetween(host, kind, before, after);
        if (calls == 0) continue;
        per_kind << ' ' << (host ? kHostCallNames[kind] : kFaultPointNames[kind]) << '=' << calls;
        for (int64_t nth = 1; nth <= calls; ++nth) faults.push_back({host, kind, nth});
      }
    }

    for (const Fault& fault : faults) {
      SCOPED_TRACE(Describe(fault));
      std::unique_ptr<Instance> instance;
      Quietly([&] {
        RunSession(&fault, instance);
        CheckRecovery(instance, Describe(fault));
      });
      if (testing::Test::HasFatalFailure()) return;
    }
    std::printf("fault sweep: %zu faults injected (calls per kind:%s)\n", faults.size(),
                per_kind.str().c_str());
  }

 private:
  const SweepTarget& target_;
  const std::function<void(const std::string&)>& expect_no_leaks_;
};

}  // namespace

void RunFaultSweep(const SweepTarget& target,
                   const std::function<void(const std::string&)>& expect_no_leaks) {
  Sweep(target, expect_no_leaks).Run();
}

}  // namespace reliability
