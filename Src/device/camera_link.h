// Connecting a camera and creating its stream source; shared by the open
// and by the grab engine (which reconnects a camera found disconnected).
#pragma once

#include "bindings/camera_sdk.h"
#include "bindings/host.h"

// Connects with access mode 2: H_MSG_OK, or H_ERR_FGDV when the SDK
// refuses.
Herror ConnectCamera(GENICAM_Camera* camera);

// Creates the stream source of channel 0 into *stream_slot: H_MSG_OK, or
// H_ERR_FGDV after "create stream obj  fail.\r\n" on standard output (also
// when the entry point is missing).  The slot is written only on success;
// the caller holds the entry's objects_lock exclusively and has released
// any stream the slot held.
Herror CreateStream(GENICAM_Camera* camera, GENICAM_StreamSource** stream_slot);
