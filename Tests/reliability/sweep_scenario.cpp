#include "sweep_scenario.h"

#include "hacq_test/interface_test.h"
#include "small_cameras.h"

namespace reliability {
namespace {

using hostlayer::HostCall;
using hostlayer::Images;
using sdkabi::FaultPoint;
using Value = hostlayer::Value;

constexpr const char* kHostCallNames[] = {
    "Alloc",     "Free",         "NewImage",   "NewImagePtr", "MutexInit",   "MutexLock",
    "MutexUnlock", "MutexDestroy", "GlVarRead", "GlVarWrite",  "GetDefaults"};
constexpr const char* kFaultPointNames[] = {"SystemInstance",
                                            "Discovery",
                                            "Connect",
                                            "Disconnect",
                                            "CreateAcquisitionControl",
                                            "CreateImageFormatControl",
                                            "CreateAnalogControl",
                                            "CreateISPControl",
                                            "CreateUserSetControl",
                                            "CreateDeviceControl",
                                            "CreateStream",
                                            "StartGrabbing",
                                            "StopGrabbing",
                                            "FrameTimeout",
                                            "InvalidFrame",
                                            "FeatureRead",
                                            "FeatureWrite",
                                            "EnumList",
                                            "CreateEnumNode",
                                            "CreateStringNode",
                                            "CommandExecute"};
static_assert(std::size(kHostCallNames) == hostlayer::kHostCallKinds);
static_assert(std::size(kFaultPointNames) == sdkabi::kFaultPoints);

Herror Grab(Session& s) {
  Images images;
  return s.instance->Grab(&images);
}
Herror GrabAsync(Session& s, double delay) {
  Images images;
  return s.instance->GrabAsync(delay, &images);
}
std::function<Herror(Session&)> Set(const char* name, Value value) {
  return [name, value](Session& s) { return s.instance->SetParam(name, value); };
}
std::function<Herror(Session&)> Get(const char* name) {
  return [name](Session& s) {
    std::vector<Value> values;
    return s.instance->GetParam(name, &values);
  };
}

bool In(FaultPoint op, std::initializer_list<FaultPoint> ops) {
  for (FaultPoint candidate : ops)
    if (candidate == op) return true;
  return false;
}

std::vector<Herror> SdkAllowed(FaultPoint op, StepKind step) {
  constexpr Herror kOk = H_MSG_OK;
  const bool makes_objects =
      In(op, {FaultPoint::Connect, FaultPoint::CreateAcquisitionControl,
              FaultPoint::CreateImageFormatControl, FaultPoint::CreateAnalogControl,
              FaultPoint::CreateISPControl, FaultPoint::CreateUserSetControl,
              FaultPoint::CreateDeviceControl, FaultPoint::CreateStream});
  switch (step) {
    case StepKind::Open:
      if (makes_objects) return {H_ERR_FGDV};
      // A size that cannot be read leaves 0: no frame buffer (5302) or no
      // image part that fits (5307, 5308).  Other reads and the two "Off"
      // writes are not checked.
      if (op == FaultPoint::FeatureRead) return {kOk, H_ERR_FGDV, H_ERR_FGWR, H_ERR_FGWP};
      return {kOk};
    case StepKind::Grab:
      if (makes_objects || In(op, {FaultPoint::StartGrabbing, FaultPoint::StopGrabbing}))
        return {H_ERR_FGDV};
      // An incomplete frame is not delivered.
      if (In(op, {FaultPoint::FrameTimeout, FaultPoint::InvalidFrame})) return {H_ERR_FGTIMEOUT};
      return {kOk};
    case StepKind::StartAsync:
      if (makes_objects || op == FaultPoint::StartGrabbing) return {H_ERR_FGDV};
      return {kOk};
    case StepKind::Trigger:
      if (In(op, {FaultPoint::FeatureWrite, FaultPoint::CommandExecute})) return {H_ERR_FGTRIGGER};
      return {kOk};
    case StepKind::Get:  // a range the camera cannot tell
      return op == FaultPoint::FeatureRead ? std::vector<Herror>{H_ERR_FGPARV}
                                           : std::vector<Herror>{kOk};
    case StepKind::Set:  // a refused write fails the set
      return op == FaultPoint::FeatureWrite ? std::vector<Herror>{H_ERR_FGPARV}
                                            : std::vector<Herror>{kOk};
    case StepKind::Abort:  // the abort's stop is not checked
    case StepKind::Close:  // stop and disconnect failures are only printed
      return {kOk};
  }
  return {};
}

}  // namespace

hostlayer::OpenParams SweepOpenParams() {
  hostlayer::OpenParams params;
  params.device = std::string(kSweepCamera);
  params.color_space = std::string("gray");
  params.generic = {std::string("num_buffers=3")};
  return params;
}

const std::vector<Step>& SweepSteps() {
  static const std::vector<Step> steps = {
      {"open", StepKind::Open,
       [](Session& s) { return hostlayer::Driver::Get().Open(SweepOpenParams(), &s.instance); }},
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
       [](Session& s) { return s.instance->GrabStartAsync(200.0); }},
      {"grab async", StepKind::Grab, [](Session& s) { return GrabAsync(s, 200.0); }},
      {"set software_trigger", StepKind::Trigger,
       Set("TriggerMode", std::string("software_trigger"))},
      {"do_TriggerSoftware", StepKind::Trigger, Set("do_TriggerSoftware", int64_t{1})},
      {"triggered grab", StepKind::Grab, [](Session& s) { return GrabAsync(s, 500.0); }},
      {"set continuous", StepKind::Trigger, Set("TriggerMode", std::string("continuous"))},
      {"get TriggerMode", StepKind::Get, Get("TriggerMode")},
      {"grab async continuous", StepKind::Grab, [](Session& s) { return GrabAsync(s, 200.0); }},
      {"do_abort_grab", StepKind::Abort, Set("do_abort_grab", int64_t{0})},
      {"grab after abort", StepKind::Grab, Grab},
      {"close", StepKind::Close, [](Session& s) { return s.instance->Close(); }},
  };
  return steps;
}

CallCounts CountCalls() {
  CallCounts counts;
  for (int i = 0; i < hostlayer::kHostCallKinds; ++i)
    counts.host[i] = hostlayer::CallCount(static_cast<HostCall>(i));
  for (int i = 0; i < sdkabi::kFaultPoints; ++i)
    counts.sdk[i] = hacq_test::SdkControls().FaultableCalls(static_cast<FaultPoint>(i));
  return counts;
}

std::string Describe(const Fault& fault) {
  return std::string(fault.host ? kHostCallNames[fault.kind] : kFaultPointNames[fault.kind]) +
         " call " + std::to_string(fault.nth);
}

void Arm(const Fault& fault) {
  if (fault.host) {
    hostlayer::FailCall(static_cast<HostCall>(fault.kind), fault.nth, kInjectedHostCode);
  } else {
    hacq_test::SdkControls().InjectFaultAt(kSweepCamera, static_cast<FaultPoint>(fault.kind),
                                           static_cast<int>(fault.nth));
  }
}

int64_t CallsBetween(bool host, int kind, const CallCounts& before, const CallCounts& after) {
  return host ? after.host[kind] - before.host[kind]
              : static_cast<int64_t>(after.sdk[kind] - before.sdk[kind]);
}

bool Reached(const Fault& fault, const CallCounts& before) {
  return CallsBetween(fault.host, fault.kind, before, CountCalls()) >= fault.nth;
}

std::vector<Herror> AllowedCodes(const Fault& fault, StepKind step) {
  if (!fault.host) return SdkAllowed(static_cast<FaultPoint>(fault.kind), step);
  // Every host call the interface makes is a guarded call whose status
  // ends the operation, except the unlock with which a grab yields its
  // mutex: when that fails the grab goes on without yielding.
  if (step == StepKind::Grab && static_cast<HostCall>(fault.kind) == HostCall::MutexUnlock)
    return {kInjectedHostCode, H_MSG_OK};
  return {kInjectedHostCode};
}

}  // namespace reliability
