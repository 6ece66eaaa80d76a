// Which camera each open pool record uses.  Instances opened on one camera
// under different device strings share its entry; CameraEntry::users counts
// them so the entry's SDK objects live until the last of them closes.
// Remembering the entry per record (rather than matching the device string
// again at close) makes a close that is retried, or whose device string no
// longer matches, drop its use exactly once.  Callers hold device_lock.
#pragma once

#include "records.h"

// The record has opened on `entry`: one more user.
void AttachInstance(const InstanceRecord& inst, CameraEntry& entry);

// The record closes: forgets its camera and drops its use.  Returns the
// entry when the record was its last user (the caller releases the
// objects), null otherwise or when the record held no camera.
CameraEntry* DetachInstance(const InstanceRecord& inst);

// Forgets every record's camera (FGInit starting over).
void ForgetAllInstances();
