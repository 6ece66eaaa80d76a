#include "sweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <sstream>
#include <vector>

#include "hacq_test/session_steps.h"
#include "hostlayer/host_control.h"
#include "hostlayer/host_driver.h"

namespace reliability {
namespace {

using hacq_test::ResetGrabFlags;
using hacq_test::RunStep;
using hacq_test::SessionOpenParams;
using hacq_test::Step;
using hacq_test::StepKind;
using hostlayer::HostCall;
using hostlayer::Images;
using hostlayer::Instance;
using sdkabi::FaultPoint;

// The status an injected host fault returns.
constexpr Herror kInjectedHostCode = 7301;

// Every host call kind, then every SDK operation: the kinds of call a
// fault is injected into, in the order of HostCall and FaultPoint.
// clang-format off
constexpr const char* kCallNames[] = {
    "Alloc", "Free", "NewImage", "NewImagePtr", "MutexInit", "MutexLock", "MutexUnlock",
    "MutexDestroy", "GlVarRead", "GlVarWrite", "GetDefaults",
    "SystemInstance", "Discovery", "Connect", "Disconnect", "CreateAcquisitionControl",
    "CreateImageFormatControl", "CreateAnalogControl", "CreateISPControl", "CreateUserSetControl",
    "CreateDeviceControl", "CreateStream", "StartGrabbing", "StopGrabbing", "FrameTimeout",
    "InvalidFrame", "FeatureRead", "FeatureWrite", "EnumList", "CreateEnumNode", "CreateStringNode",
    "CommandExecute"};
// clang-format on
constexpr int kCallKinds = hostlayer::kHostCallKinds + sdkabi::kFaultPoints;
static_assert(std::size(kCallNames) == kCallKinds);

const std::vector<Step>& Steps() {
  using enum StepKind;
  using S = std::string;
  static const std::vector<Step> steps = {
      {"open", Open},
      {"grab", Grab},
      {"set ExposureTime", Set, "ExposureTime", 2500.0},
      {"get ExposureTime", Get, "ExposureTime"},
      {"get ExposureTime_range", Get, "ExposureTime_range"},
      {"set Contrast", Set, "Contrast", int64_t{12}},
      {"get Width_range", Get, "Width_range"},
      {"set ReverseX", Set, "ReverseX", S("True")},
      {"set DeviceUserID", Set, "DeviceUserID", S("sweep")},
      {"get DeviceUserID", Get, "DeviceUserID"},
      {"grab that stops", Grab},
      {"grab that restarts", Grab},
      {"set volatile enable", Set, "volatile", S("enable")},
      {"volatile grab", Grab},
      {"set volatile disable", Set, "volatile", S("disable")},
      {"start async", StartAsync, nullptr, {}, 200.0},
      {"grab async", Grab, nullptr, {}, 200.0},
      {"set software_trigger", Trigger, "TriggerMode", S("software_trigger")},
      {"do_TriggerSoftware", Trigger, "do_TriggerSoftware", int64_t{1}},
      {"triggered grab", Grab, nullptr, {}, 500.0},
      {"set continuous", Trigger, "TriggerMode", S("continuous")},
      {"get TriggerMode", Get, "TriggerMode"},
      {"grab async continuous", Grab, nullptr, {}, 200.0},
      {"do_abort_grab", Abort, "do_abort_grab", int64_t{0}},
      {"grab after abort", Grab},
      {"close", Close},
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

// The nth call of one kind (an index of kCallNames) made to fail.
struct Fault {
  int kind;
  int64_t nth;

  bool host() const { return kind < hostlayer::kHostCallKinds; }
  FaultPoint point() const { return static_cast<FaultPoint>(kind - hostlayer::kHostCallKinds); }
  std::string Describe() const { return kCallNames[kind] + (" call " + std::to_string(nth)); }
};

std::vector<Herror> AllowedCodes(const Fault& fault, StepKind step) {
  if (!fault.host()) return SdkAllowed(fault.point(), step);
  // Every host call the interface makes is a guarded call whose status
  // ends the operation, except the unlock with which a grab yields its
  // mutex: when that fails the grab goes on without yielding.
  if (step == StepKind::Grab && static_cast<HostCall>(fault.kind) == HostCall::MutexUnlock)
    return {kInjectedHostCode, H_MSG_OK};
  return {kInjectedHostCode};
}

// Calls made so far of every kind.
using CallCounts = std::array<int64_t, kCallKinds>;

CallCounts CountCalls(const SweepTarget& target) {
  CallCounts counts{};
  for (int kind = 0; kind < hostlayer::kHostCallKinds; ++kind)
    counts[kind] = hostlayer::CallCount(static_cast<HostCall>(kind));
  for (int point = 0; point < sdkabi::kFaultPoints; ++point)
    counts[hostlayer::kHostCallKinds + point] =
        static_cast<int64_t>(target.controls->FaultableCalls(static_cast<FaultPoint>(point)));
  return counts;
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

// Catches a wrong code for a failure, a failure that surfaces at a step
// that did not make the failing call, and a failure reported as success
// where the interface must report it.  Without a fault every step must
// succeed.
void RunSession(const SweepTarget& target, const Fault* fault,
                std::unique_ptr<Instance>& instance) {
  const CallCounts before = CountCalls(target);
  if (fault && fault->host()) {
    hostlayer::FailCall(static_cast<HostCall>(fault->kind), fault->nth, kInjectedHostCode);
  } else if (fault) {
    target.controls->InjectFaultAt(target.camera, fault->point(), static_cast<int>(fault->nth));
  }
  int reached = -1;
  for (size_t i = 0; i < Steps().size(); ++i) {
    const Step& step = Steps()[i];
    const Herror status = RunStep(step, instance, target.camera);
    if (fault && reached < 0 && CountCalls(target)[fault->kind] - before[fault->kind] >= fault->nth)
      reached = static_cast<int>(i);
    if (reached == static_cast<int>(i)) {
      const std::vector<Herror> allowed = AllowedCodes(*fault, step.kind);
      EXPECT_NE(std::find(allowed.begin(), allowed.end(), status), allowed.end())
          << "step " << step.name << " answered " << status << ", expected one of "
          << testing::PrintToString(allowed);
    } else {
      EXPECT_EQ(status, H_MSG_OK) << "step " << step.name
                                  << (reached < 0 ? " before the failing call"
                                                  : " after an ignored failure");
    }
    if (status != H_MSG_OK) break;
  }
  if (fault) {
    EXPECT_GE(reached, 0) << "the failing call was never made";
  }
}

// Catches an instance that cannot be closed after a failure, leaks, a
// frame kept from the SDK, and a camera left unusable.
void CheckRecovery(const SweepTarget& target, const LeakCheck& expect_no_leaks,
                   std::unique_ptr<Instance>& instance, const std::string& what) {
  hostlayer::Reset();
  target.controls->ClearFaults();
  if (instance && instance->is_open()) {
    EXPECT_EQ(instance->Close(), H_MSG_OK) << "closing after " << what;
  }
  instance.reset();
  expect_no_leaks("after " + what);
  EXPECT_EQ(target.controls->CameraCounters(target.camera).frames_outstanding, 0u) << what;
  target.restore_camera();
  ASSERT_EQ(hostlayer::Driver::Get().Open(SessionOpenParams(target.camera), &instance), H_MSG_OK)
      << "reopening after " << what;
  {
    Images images;  // released before the leak check
    EXPECT_EQ(instance->Grab(&images), H_MSG_OK) << "grabbing after " << what;
  }
  ResetGrabFlags(*instance);
  EXPECT_EQ(instance->Close(), H_MSG_OK);
  instance.reset();
  expect_no_leaks("after reopening, " + what);
  target.restore_camera();
}

}  // namespace

void RunFaultSweep(const SweepTarget& target, const LeakCheck& expect_no_leaks) {
  {
    std::unique_ptr<Instance> settle;
    ASSERT_EQ(hostlayer::Driver::Get().Open(SessionOpenParams(target.camera), &settle), H_MSG_OK);
    ResetGrabFlags(*settle);
  }
  target.restore_camera();

  const CallCounts before = CountCalls(target);
  std::unique_ptr<Instance> instance;
  Quietly([&] { RunSession(target, nullptr, instance); });
  const CallCounts after = CountCalls(target);
  ASSERT_FALSE(testing::Test::HasFailure());
  instance.reset();
  CheckRecovery(target, expect_no_leaks, instance, "the clean run");

  std::vector<Fault> faults;
  std::ostringstream per_kind;
  for (int kind = target.host_faults ? 0 : hostlayer::kHostCallKinds; kind < kCallKinds; ++kind) {
    const int64_t calls = after[kind] - before[kind];
    if (calls > 0) per_kind << ' ' << kCallNames[kind] << '=' << calls;
    for (int64_t nth = 1; nth <= calls; ++nth) faults.push_back({kind, nth});
  }
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.Describe());
    Quietly([&] {
      RunSession(target, &fault, instance);
      CheckRecovery(target, expect_no_leaks, instance, fault.Describe());
    });
    if (testing::Test::HasFatalFailure()) return;
  }
  std::printf("fault sweep: %zu faults injected (calls per kind:%s)\n", faults.size(),
              per_kind.str().c_str());
}

}  // namespace reliability
