// Connecting a camera and creating its stream source; shared by the open
// and by the grab engine (which reconnects a camera found disconnected).
#pragma once

#include <cstdint>

#include "camera_sdk.h"

// connect with access mode 2: 0 when the SDK answers 0, else -1.
int32_t ConnectCamera(GENICAM_Camera* camera);

// GENICAM_createStreamSource for channel 0 into *stream_slot: 0 when the
// SDK answers 0, else -1 (also when the entry point is missing).  The slot
// is written only on success; the caller holds the entry's objects_lock
// exclusively and has released any stream the slot held.
int32_t CreateStream(GENICAM_Camera* camera, GENICAM_StreamSource** stream_slot);
