#include <array>
#include <mutex>

#include "host_state.h"

namespace hostlayer {
namespace {

struct Fault {
  int64_t calls = 0;
  int64_t fail_at = 0;  // 0: no fault armed
  bool and_after = false;
  Herror code = 0;
};

std::mutex fault_lock;
std::array<Fault, kHostCallKinds> faults;

Fault& FaultOf(HostCall call) {
  return faults[static_cast<size_t>(call)];
}

}  // namespace

void FailCall(HostCall call, int64_t nth, Herror code, bool and_after) {
  std::lock_guard lock(fault_lock);
  Fault& fault = FaultOf(call);
  // nth < 1 disarms: there is no "current" call to fail.
  fault.fail_at = nth >= 1 ? fault.calls + nth : 0;
  fault.and_after = and_after;
  fault.code = code;
}

int64_t CallCount(HostCall call) {
  std::lock_guard lock(fault_lock);
  return FaultOf(call).calls;
}

namespace detail {

Herror TakeFault(HostCall call) {
  std::lock_guard lock(fault_lock);
  Fault& fault = FaultOf(call);
  ++fault.calls;
  if (fault.fail_at == 0) return 0;
  const bool hit = fault.and_after ? fault.calls >= fault.fail_at : fault.calls == fault.fail_at;
  return hit ? fault.code : 0;
}

void ResetFaults() {
  std::lock_guard lock(fault_lock);
  faults = {};
}

}  // namespace detail
}  // namespace hostlayer
