// FGClose: slot 3 of the operation table.  The host never runs another
// operation of this instance meanwhile; closes and opens are serialised by
// device_lock.
#include <mutex>

#include "camera_objects.h"
#include "camera_users.h"
#include "instance_memory.h"
#include "interface_state.h"
#include "operations.h"

Herror FGClose(Hproc_handle proc_id, FGInstance* fginst) noexcept {
  if (fginst == nullptr || fginst->inst_data == nullptr) return H_MSG_OK;
  std::lock_guard<std::mutex> lock(device_lock);
  InstanceRecord& inst = *fginst->inst_data;
  if (inst.board == nullptr) return H_MSG_OK;  // not open, or closed already

  // The camera's objects serve every instance open on it; the last one to
  // close stops, disconnects and releases them.
  if (CameraEntry* entry = DetachInstance(inst)) ReleaseCameraObjects(*entry);
  inst.grab_started = false;
  const Herror status = FreeInstanceMemory(proc_id, inst);
  if (status != H_MSG_OK) return status;
  --open_count;
  return H_MSG_OK;
}
