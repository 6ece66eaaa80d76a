// Making sure a camera is connected and its stream grabbing before a grab.
#pragma once

#include <shared_mutex>

#include "base/records.h"
#include "bindings/host.h"

// Called with entry.objects_lock held shared through `shared`; returns with
// it held shared again (the lock is dropped for an exclusive section only
// when the camera was found disconnected and its stream must be made anew).
// On success *stream is the entry's stream, usable while the lock is held.
// H_MSG_OK, or H_ERR_FGDV: reconnecting fails, the stream cannot be made
// anew or started (each printed), or the entry holds no stream.
Herror EnsureStreamReady(CameraEntry& entry, std::shared_lock<std::shared_mutex>& shared,
                         GENICAM_StreamSource** stream);
