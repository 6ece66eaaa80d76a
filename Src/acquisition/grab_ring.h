// The buffer ring and the asynchronous-grab bookkeeping of one instance.
// Everything here runs with the instance's cancel_mutex held.
#pragma once

#include <cstdint>

#include "base/records.h"
#include "bindings/host.h"

// Entered with cancel_mutex held.  Settles a pending asynchronous grab (a
// synchronous grab discards it), yielding the mutex in between so that an
// abort waiting for it can run; then hands out the next buffer of the ring
// in *read_buffer and advances the ring, and starts the next asynchronous
// grab when this one is asynchronous and the instance asks for that.
// Returns H_MSG_OK with the mutex held, or the host's status of a relock
// that failed, with the mutex not held and the ring not advanced.
Herror NextGrabBuffer(FGInstance& fginst, InstanceRecord& inst, int32_t* read_buffer);

// The wall clock as asynchronous grabs stamp it.
TimeStamp Now();

// A max-delay argument in milliseconds as the record keeps it: rounded
// half up by adding 0.5 and truncating; out-of-range values saturate and
// NaN counts as 0.
int64_t DelayFromArgument(double max_delay_ms);
