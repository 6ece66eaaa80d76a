// The camera table: filled from one discovery at FGInit, and the match of
// a device string against it.
#pragma once

#include "base/records.h"
#include "bindings/host.h"

// The camera entry that `device` selects: "default" and "0" (any letter
// case) select entry 0; otherwise the first entry whose key, or name
// without spaces, equals the device ignoring ASCII case.  Null when none.
CameraEntry* FindCameraEntry(const char* device);

// Fills the table from a discovery: the first kMaxCameras cameras, in
// order; names and keys are cut to 1023 characters.  Sets
// gs_cameraCntDiscovery to the number held.  Caller holds device_lock.
void FillCameraTable(GENICAM_Camera* cameras, uint32_t count);

// Empties the table (identities, camera objects, user counts).  The
// entries' SDK objects must have been released.  Caller holds device_lock.
void ClearCameraTable();
