// The eleven operations FGInit installs in the host's table, in slot order.
// Each is a forwarder: the instance gate first (registration/instance_gate.h),
// then one call into its subsystem, inside the exception barrier, so
// nothing throws across the host's C boundary.
//
// Threads: the host may call any operation from any thread.  Opens and
// closes are serialised by device_lock.  The operations of one instance may
// run at once on several threads (a grab waiting while another thread sets
// do_abort_grab), but never while it is being opened or closed.
#pragma once

#include "bindings/host.h"

// Slot 1, any state: a free record for a new open; null when none is free.
FGInstance** FGOpenRequest(Hproc_handle proc_id, FGInstance* fginst) noexcept;

// Slot 2, on the record slot 1 handed out: opens the device; H_ERR_FGDV
// without a record.
Herror FGOpen(Hproc_handle proc_id, FGInstance* fginst) noexcept;

// Slot 3, open or closing (an earlier close failed part-way): closes it.
// H_MSG_OK and nothing done for a free record.
Herror FGClose(Hproc_handle proc_id, FGInstance* fginst) noexcept;

// Slots 4 to 6, open, with the device string still selecting the camera
// the instance opened; H_ERR_FGDV otherwise.  The grab start notes the
// asynchronous use before the gate, as every start must.
Herror FGGrab(Hproc_handle proc_id, FGInstance* fginst, Himage* image, int32_t* num_image) noexcept;
Herror FGGrabStartAsync(Hproc_handle proc_id, FGInstance* fginst, double max_delay) noexcept;
Herror FGGrabAsync(Hproc_handle proc_id, FGInstance* fginst, double max_delay, Himage* image,
                   int32_t* num_image) noexcept;

// Slots 7, 8: never supported, H_ERR_FGNOTSUP; an open instance notes the
// request's kind (and delay) all the same.
Herror FGGrabData(Hproc_handle proc_id, FGInstance* fginst, void* images, void* regions,
                  void* contours, void* data) noexcept;
Herror FGGrabDataAsync(Hproc_handle proc_id, FGInstance* fginst, double max_delay, void* images,
                       void* regions, void* contours, void* data) noexcept;

// Slot 9, any state, no instance: information queries.
Herror FGInfo(Hproc_handle proc_id, int32_t query, const char** info, ParamValue** values,
              int32_t* num_values) noexcept;

// Slot 10, open, with the device string still selecting its camera;
// H_ERR_FGPARV otherwise.  Every request, refused ones too, first marks
// the stream for a stop after the next grab.
Herror FGSetParam(Hproc_handle proc_id, FGInstance* fginst, const char* name,
                  const ParamValue* value) noexcept;

// Slot 11, open; H_ERR_FGPARV otherwise (and for a null answer array or
// count).  The count is 1 before anything else.
Herror FGGetParam(Hproc_handle proc_id, FGInstance* fginst, const char* name, ParamValue* value,
                  int32_t* num_value) noexcept;
