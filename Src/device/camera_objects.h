// The SDK objects of one camera entry: the connection, the six control
// objects and the stream source.  They belong to the entry and are shared
// by every instance open on the camera.  Callers hold device_lock; writes
// to the entry's object fields take its objects_lock exclusively.
#pragma once

#include "base/records.h"
#include "bindings/host.h"

// Connects the camera unless another instance has it connected, and
// creates each control object and the stream the entry does not hold yet;
// objects already there serve this instance too.  H_MSG_OK, or H_ERR_FGDV
// after the failure's message box or printed line.  On failure the objects
// made so far stay in the entry; see ReleaseUnusedCamera.
Herror PrepareCameraObjects(CameraEntry& entry);

// Stops a grabbing stream, releases it, disconnects the camera and releases
// the control objects, clearing each field.  For an entry that no open
// instance uses.  Failures to stop or disconnect are printed and passed by.
void ReleaseCameraObjects(CameraEntry& entry);

// After a failed open: releases the entry's objects and disconnects the
// camera when no open instance uses it; otherwise leaves them to the users.
void ReleaseUnusedCamera(CameraEntry& entry);

// The instance has opened on `entry` and uses its objects from now on.
void AttachCamera(InstanceRecord& inst, CameraEntry& entry);

// The instance gives its camera up (nothing when it holds none, as after a
// close that failed part-way); the last instance to go releases the
// entry's objects.
void DetachCamera(InstanceRecord& inst);
