#include <cstdint>
#include <limits>
#include <mutex>

#include "base/contract_texts.h"
#include "base/guarded_call.h"
#include "base/interface_state.h"
#include "base/text_match.h"
#include "device/camera_objects.h"
#include "device/camera_state.h"
#include "device/generic_parameters.h"
#include "device/instance_memory.h"
#include "device/lifecycle.h"
#include "device/open_checks.h"
#include "registration/camera_table.h"

namespace {

constexpr int32_t kDefaultBuffers = 2;
constexpr int64_t kDefaultGrabTimeoutMs = 5000;

void ResetInstance(FGInstance& fginst, InstanceRecord& inst) {
  fginst.async_grab = false;
  inst.cancel_mutex = nullptr;
  inst.grab_started = false;
  inst.volatile_mode = false;
  for (uint8_t*& buffer : inst.InstFrameBuffer) buffer = nullptr;
  inst.next_buffer = 0;
  inst.num_buffers = kDefaultBuffers;
  inst.grab_timeout = kDefaultGrabTimeoutMs;
  inst.start_async_after_grab_async = true;
}

// Device strings are compared, not cameras: "default" and the first
// camera's key do not collide.
bool OpenInOtherRecord(const InstanceRecord& inst, const char* device) {
  for (const InstanceRecord& other : inst_pool) {
    if (other.pool_index == inst.pool_index || other.board == nullptr) continue;
    if (EqualsIgnoreCase(other.board->device, device)) return true;
  }
  return false;
}

// Bytes of one frame buffer, sized for the largest image the camera makes;
// -1 when that does not fit the record's 32-bit size.
int64_t FrameBufferBytes(const FGInstance& fginst, const SensorSize& size) {
  constexpr int64_t kLimit = std::numeric_limits<int32_t>::max();
  const int64_t factors[] = {(int64_t{fginst.bits_per_channel} + 7) / 8, size.width_max,
                             size.height_max, fginst.num_channels};
  int64_t bytes = 1;
  for (const int64_t factor : factors) {
    if (factor < 0 || factor > kLimit) return -1;
    bytes *= factor;
    if (bytes > kLimit) return -1;
  }
  return bytes;
}

// From the board on, every failure goes through TeardownInstance.
Herror FinishOpen(Hproc_handle proc_id, FGInstance& fginst, InstanceRecord& inst,
                  const SensorSize& size) {
  Herror status = ParseGenericParameters(fginst, &inst.num_buffers);
  if (status == H_MSG_OK) {
    status = ComputeGeometry(fginst, static_cast<int32_t>(size.width),
                             static_cast<int32_t>(size.height));
  }
  if (status == H_MSG_OK) {
    status = AllocateFrameBuffers(proc_id, inst, FrameBufferBytes(fginst, size));
  }
  if (status == H_MSG_OK) {
    status = HCALL(contract::kInitCancelMutex, HpThreadMutexInit(&inst.cancel_mutex));
  }
  if (status != H_MSG_OK) return TeardownInstance(proc_id, inst, status);
  ++open_count;
  return H_MSG_OK;
}

// With the camera connected and its objects in the entry.
Herror OpenOnCamera(Hproc_handle proc_id, FGInstance& fginst, InstanceRecord& inst,
                    CameraEntry& entry) {
  const SensorSize size = ReadCameraState(entry, fginst, inst);
  Herror status = CheckOpenParameters(fginst, inst);
  if (status != H_MSG_OK) return status;
  if (OpenInOtherRecord(inst, fginst.device)) return H_ERR_FGDEVBUSY;
  status = AllocateBoard(proc_id, inst, fginst.device);
  if (status != H_MSG_OK) return status;
  return FinishOpen(proc_id, fginst, inst, size);
}

}  // namespace

Herror OpenDevice(Hproc_handle proc_id, FGInstance& fginst) {
  std::lock_guard<std::mutex> lock(device_lock);
  InstanceRecord& inst = *fginst.inst_data;
  ResetInstance(fginst, inst);
  CameraEntry* entry = FindCameraEntry(fginst.device);
  if (entry == nullptr) return H_ERR_FGDV;
  Herror status = PrepareCameraObjects(*entry);
  if (status == H_MSG_OK) status = OpenOnCamera(proc_id, fginst, inst, *entry);
  if (status == H_MSG_OK) {
    AttachCamera(inst, *entry);
  } else {
    // A failed open must not keep the camera taken for good.
    ReleaseUnusedCamera(*entry);
  }
  return status;
}
