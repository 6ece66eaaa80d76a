// Host memory of one open instance: its board record and frame buffers.
// All of it comes from the host allocator; every function here runs under
// device_lock on the record of an open in progress or being closed.
#pragma once

#include <cstdint>

#include "base/records.h"
#include "bindings/host.h"

// A zero-filled board carrying a copy of `device` (cut to 1023 characters)
// into inst.board.  On failure board stays null and the host's
// error-processing code is returned.
Herror AllocateBoard(Hproc_handle proc_id, InstanceRecord& inst, const char* device);

// inst.num_buffers frame buffers of `size` bytes each into InstFrameBuffer,
// whose entries the open cleared, and frame_buffer_size.  H_ERR_FGDV
// for a size of 0 or one beyond 32 bits; otherwise the allocator's code on
// failure, the buffers made so far staying in the record for
// TeardownInstance.
Herror AllocateFrameBuffers(Hproc_handle proc_id, InstanceRecord& inst, int64_t size);

// Undoes a failed open once it holds a board: frees the frame buffers and
// the board (results ignored; the record is free again), then destroys
// cancel_mutex if it exists.  Returns err, or the mutex destruction's error.
Herror TeardownInstance(Hproc_handle proc_id, InstanceRecord& inst, Herror err);

// A close's share: frees the frame buffers, destroys the mutex and frees
// the board, clearing each reference.  Guarded calls; the first failure is
// returned at once with the record still holding its (live) board, so
// calling this again completes the release.
Herror FreeInstanceMemory(Hproc_handle proc_id, InstanceRecord& inst);
