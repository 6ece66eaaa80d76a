// Host memory of one open instance: its board record and frame buffers.
// All of it comes from the host allocator; every function here runs under
// device_lock on the record of an open in progress or being closed.
#pragma once

#include <cstdint>

#include "host.h"
#include "records.h"

// Open step 8: a zero-filled board carrying a copy of `device` (cut to
// 1023 characters) into inst.board.  On failure board stays null and the
// host's error-processing code is returned.
Herror AllocateBoard(Hproc_handle proc_id, InstanceRecord& inst, const char* device);

// Open step 11: inst.num_buffers board buffers of `size` bytes each,
// attached to the instance (own_buffers false, buffer_users 1); entries
// past num_buffers are cleared.  The allocator's code on failure, the
// buffers made so far staying on the board for TeardownInstance.
Herror AllocateFrameBuffers(Hproc_handle proc_id, InstanceRecord& inst, int64_t size);

// Undoes a failed open from step 9 on: frees the board's buffers and the
// board (results ignored; the record is free again), then destroys
// cancel_mutex if it exists.  Returns err, or the mutex destruction's error.
Herror TeardownInstance(Hproc_handle proc_id, InstanceRecord* inst, Herror err);

// Close steps 6 to 8: frees the frame buffers where they are (the
// instance's own in volatile mode, else the board's), destroys the mutex
// and frees the board, clearing each reference.  Guarded calls; the first
// failure is returned at once with the record still holding its (live)
// board, so calling this again completes the release.
Herror FreeInstanceMemory(Hproc_handle proc_id, InstanceRecord& inst);
