// The grab operations' bodies, for an open instance whose device string
// still selects its camera.  Threads: any application thread; the
// bookkeeping runs under the instance's cancel_mutex, the frame wait,
// conversion and image building without it.  The camera entry's SDK
// objects are used only while its objects_lock is held shared.
#pragma once

#include "base/records.h"
#include "bindings/host.h"

// Takes the next frame into the next buffer of the ring and delivers it as
// the host image(s).  H_MSG_OK, H_ERR_FGTIMEOUT (no frame, an incomplete
// one, or one that cannot be converted), H_ERR_FGDV (the camera or its
// stream failed), or the host's error.
Herror Grab(Hproc_handle proc_id, const OpenInstance& open, Himage* image, int32_t* num_image);

// Every asynchronous start, also one the gate refuses, keeps the stream
// running across later parameter changes.
void NoteAsyncGrabStart() noexcept;

// Makes sure the stream grabs, then marks an asynchronous grab pending.
Herror StartAsyncGrab(const OpenInstance& open, double max_delay);

// Collects a pending asynchronous grab (or grabs anew): a Grab marked
// asynchronous, whose own error is the answer.
Herror GrabAsync(Hproc_handle proc_id, const OpenInstance& open, double max_delay, Himage* image,
                 int32_t* num_image);

// Grabs with data are not supported: H_ERR_FGNOTSUP, after noting the
// request's kind (and delay) as the other grabs do.
Herror GrabData(const OpenInstance& open);
Herror GrabDataAsync(const OpenInstance& open, double max_delay);
