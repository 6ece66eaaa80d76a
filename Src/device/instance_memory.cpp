#include "device/instance_memory.h"

#include <cstring>
#include <limits>

#include "base/contract_texts.h"
#include "base/guarded_call.h"
#include "base/text_copy.h"

namespace {

// The mutex goes before the board, so a failure at either step leaves the
// record holding a live board and a retried close finishes the job.
Herror DestroyCancelMutex(InstanceRecord& inst) {
  if (inst.cancel_mutex == nullptr) return H_MSG_OK;
  const Herror status =
      HCALL(contract::kDestroyCancelMutex, HpThreadMutexDestroy(&inst.cancel_mutex));
  if (status > H_MSG_OK) return status;
  inst.cancel_mutex = nullptr;
  return H_MSG_OK;
}

}  // namespace

Herror AllocateBoard(Hproc_handle proc_id, InstanceRecord& inst, const char* device) {
  void* block = nullptr;
  const Herror status =
      HostAlloc(proc_id, sizeof(BoardRecord), &block, contract::kAllocBoard, __LINE__);
  if (status > H_MSG_OK) return status;
  inst.board = static_cast<BoardRecord*>(block);
  std::memset(inst.board, 0, sizeof(BoardRecord));
  CopyText(inst.board->device, device);
  return H_MSG_OK;
}

Herror AllocateFrameBuffers(Hproc_handle proc_id, InstanceRecord& inst, int64_t size) {
  // The record's size field is 32 bits wide; a larger sensor cannot be held.
  // No size at all means the camera's maximum size could not be read: every
  // grab would fail, so the open does.
  if (size <= 0 || size > std::numeric_limits<int32_t>::max()) return H_ERR_FGDV;
  for (int32_t i = 0; i < inst.num_buffers && i < kMaxBuffers; ++i) {
    void* block = nullptr;
    const Herror status = HostAlloc(proc_id, static_cast<size_t>(size), &block,
                                    contract::kAllocFrameBuffer, __LINE__);
    if (status != H_MSG_OK) return status;
    inst.InstFrameBuffer[i] = static_cast<uint8_t*>(block);
  }
  inst.frame_buffer_size = static_cast<int32_t>(size);
  return H_MSG_OK;
}

Herror TeardownInstance(Hproc_handle proc_id, InstanceRecord& inst, Herror err) {
  for (uint8_t*& buffer : inst.InstFrameBuffer) {
    if (buffer != nullptr) HostFreeQuiet(proc_id, buffer, __LINE__);
    buffer = nullptr;
  }
  if (inst.board != nullptr) {
    HostFreeQuiet(proc_id, inst.board, __LINE__);
    inst.board = nullptr;
  }
  const Herror status = DestroyCancelMutex(inst);
  return status != H_MSG_OK ? status : err;
}

Herror FreeInstanceMemory(Hproc_handle proc_id, InstanceRecord& inst) {
  for (uint8_t*& buffer : inst.InstFrameBuffer) {
    if (buffer == nullptr) continue;
    const Herror status = HostFree(proc_id, buffer, contract::kFreeFrameBuffer, __LINE__);
    if (status > H_MSG_OK) return status;
    buffer = nullptr;
  }
  const Herror status = DestroyCancelMutex(inst);
  if (status != H_MSG_OK) return status;
  const Herror freed = HostFree(proc_id, inst.board, contract::kFreeBoard, __LINE__);
  if (freed > H_MSG_OK) return freed;
  inst.board = nullptr;
  return H_MSG_OK;
}
