#include "acquisition/grab_ring.h"

#include <chrono>
#include <cmath>
#include <limits>

#include "base/shared_fields.h"

namespace {

// Lets a thread that waits for the mutex (an abort) run in between.  These
// mutex calls are not traced.  A failed unlock only means no yield; a
// failed relock is returned, as the bookkeeping must not go on unlocked.
Herror Yield(InstanceRecord& inst) {
  if (HpThreadMutexUnlock(&inst.cancel_mutex) > H_MSG_OK) return H_MSG_OK;  // still held
  const Herror err = HpThreadMutexLock(&inst.cancel_mutex);
  return err > H_MSG_OK ? err : H_MSG_OK;
}

// Age of the pending grab in milliseconds, in the 32-bit arithmetic of the
// host's template (wrapping instead of overflowing).
int32_t AgeMilliseconds(const TimeStamp& start, const TimeStamp& now) {
  const uint32_t seconds = static_cast<uint32_t>(now.seconds - start.seconds);
  return static_cast<int32_t>(seconds * 1000u - start.milliseconds + now.milliseconds);
}

}  // namespace

TimeStamp Now() {
  const auto since_epoch = std::chrono::system_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count();
  TimeStamp stamp{};
  stamp.seconds = ms / 1000;
  stamp.milliseconds = static_cast<uint16_t>(ms % 1000);
  return stamp;
}

int64_t DelayFromArgument(double max_delay_ms) {
  const double rounded = max_delay_ms + 0.5;
  if (std::isnan(rounded)) return 0;
  constexpr double kLimit = 9.2e18;  // inside the 64-bit range
  if (rounded >= kLimit) return std::numeric_limits<int64_t>::max();
  if (rounded <= -kLimit) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(rounded);
}

Herror NextGrabBuffer(FGInstance& fginst, InstanceRecord& inst, int32_t* read_buffer) {
  const bool async_grab = LoadShared(fginst.async_grab);
  Herror err = H_MSG_OK;
  if (!LoadShared(inst.grab_started)) {
    err = Yield(inst);
  } else if (!async_grab) {
    StoreShared(inst.grab_started, false);
    err = Yield(inst);
  } else {
    err = Yield(inst);
    if (err == H_MSG_OK) err = Yield(inst);
    if (err != H_MSG_OK) return err;
    StoreShared(inst.grab_started, false);
    // A late completion only yields once more; the frame is the next one
    // the stream delivers either way.
    if (AgeMilliseconds(inst.async_start_time, Now()) > LoadShared(inst.async_max_delay)) {
      err = Yield(inst);
    }
  }
  if (err != H_MSG_OK) return err;

  *read_buffer = inst.next_buffer;
  inst.next_buffer = inst.next_buffer + 1 >= inst.num_buffers ? 0 : inst.next_buffer + 1;

  if (async_grab && LoadShared(inst.start_async_after_grab_async)) {
    inst.async_start_time = Now();
    StoreShared(inst.grab_started, true);
  }
  return H_MSG_OK;
}
