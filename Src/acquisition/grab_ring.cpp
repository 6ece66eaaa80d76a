#include "grab_ring.h"

#include <chrono>
#include <cmath>
#include <limits>

#include "shared_fields.h"

namespace {

// Lets a thread that waits for the mutex (an abort) run in between.  These
// mutex calls are not traced.  A failed unlock only means no yield; a
// failed relock is returned, as the bookkeeping must not go on unlocked.
Herror Yield(InstanceRecord* currInst) {
  if (HpThreadMutexUnlock(&currInst->cancel_mutex) > H_MSG_OK) return H_MSG_OK;  // still held
  const Herror err = HpThreadMutexLock(&currInst->cancel_mutex);
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

Herror NextGrabBuffer(Hproc_handle /*proc_id*/, FGInstance* fginst, int32_t* readBuffer) {
  InstanceRecord* currInst = fginst->inst_data;
  const bool async_grab = LoadShared(fginst->async_grab);
  Herror err = H_MSG_OK;
  if (!LoadShared(currInst->grab_started)) {
    err = Yield(currInst);
  } else if (!async_grab) {
    StoreShared(currInst->grab_started, false);
    err = Yield(currInst);
  } else {
    err = Yield(currInst);
    if (err == H_MSG_OK) err = Yield(currInst);
    if (err != H_MSG_OK) return err;
    StoreShared(currInst->grab_started, false);
    // A late completion only yields once more; the frame is the next one
    // the stream delivers either way.
    if (AgeMilliseconds(currInst->async_start_time, Now()) >
        LoadShared(currInst->async_max_delay)) {
      err = Yield(currInst);
    }
  }
  if (err != H_MSG_OK) return err;

  const int32_t num_buffers = currInst->num_buffers;
  *readBuffer = currInst->next_buffer;
  currInst->next_buffer = currInst->next_buffer + 1 >= num_buffers ? 0 : currInst->next_buffer + 1;

  if (async_grab && LoadShared(currInst->start_async_after_grab_async)) {
    currInst->async_start_time = Now();
    StoreShared(currInst->grab_started, true);
  }
  return H_MSG_OK;
}
