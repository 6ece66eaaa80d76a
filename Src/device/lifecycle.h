// Opening and closing an instance: the bodies of the open and close slots.
// Both take device_lock, so opens and closes of every instance run one at
// a time.
#pragma once

#include "base/records.h"
#include "bindings/host.h"

// Opens the device fginst.device names on the record fginst.inst_data
// points at, which FGOpenRequest handed out and which is free until the
// open gives it a board.  H_MSG_OK, or the code of the first check or
// step that fails; a failure leaves the record free.
Herror OpenDevice(Hproc_handle proc_id, FGInstance& fginst);

// Closes an open or closing record: gives its camera up (the last user
// stops the stream, disconnects and releases the SDK objects), then frees
// the frame buffers, the mutex and the board.  A host failure is returned
// with the record closing, and a retried close finishes it.
Herror CloseDevice(Hproc_handle proc_id, InstanceRecord& inst);
