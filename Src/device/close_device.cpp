#include <mutex>

#include "base/interface_state.h"
#include "device/camera_objects.h"
#include "device/instance_memory.h"
#include "device/lifecycle.h"

Herror CloseDevice(Hproc_handle proc_id, InstanceRecord& inst) {
  std::lock_guard<std::mutex> lock(device_lock);
  DetachCamera(inst);
  inst.grab_started = false;
  const Herror status = FreeInstanceMemory(proc_id, inst);
  if (status != H_MSG_OK) return status;
  --open_count;
  return H_MSG_OK;
}
