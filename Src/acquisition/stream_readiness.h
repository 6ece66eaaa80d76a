// Making sure a camera is connected and its stream grabbing before a grab.
#pragma once

#include <shared_mutex>

#include "host.h"
#include "records.h"

// Called with entry.objects_lock held shared through `shared`; returns with
// it held shared again (the lock is dropped for an exclusive section only
// when the camera was found disconnected and its stream must be made anew).
// On success *stream is the entry's stream, usable while the lock is held.
// Returns 2, or 5302 (with "create stream obj  fail.\r\n" or
// "StartGrabbing  fail.\n" printed for those two failures; also 5302 when
// the entry holds no stream because the camera was closed).
Herror EnsureStreamReady(CameraEntry& entry, std::shared_lock<std::shared_mutex>& shared,
                         GENICAM_StreamSource** stream);
