// Device-string matching against the camera table, and space stripping.
#pragma once

#include "host.h"
#include "records.h"

// A text without its space characters (code 32); tabs and other white space
// stay.  Each call has its own result; input beyond 1023 characters is cut.
struct StrippedText {
  char text[kTextLen];
};
StrippedText StripSpaces(const char* text);

// The camera entry that fginst->device selects: "default" and "0" (any
// letter case) select entry 0; otherwise the first entry whose key, or name
// without spaces, equals the device ignoring ASCII case.  Null when none.
CameraEntry* FindCameraEntry(const FGInstance* fginst);

// ASCII case-insensitive whole-string equality.
bool EqualsIgnoreCase(const char* a, const char* b);

// Fills the table from a discovery: the first kMaxCameras cameras, in
// order; names and keys are cut to 1023 characters.  Sets
// gs_cameraCntDiscovery to the number held.  Caller holds device_lock.
void FillCameraTable(GENICAM_Camera* cameras, uint32_t count);

// Empties the table (identities, camera objects, user counts).  The
// entries' SDK objects must have been released.  Caller holds device_lock.
void ClearCameraTable();
