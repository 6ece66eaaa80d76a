#include "instance_memory.h"

#include <cstring>
#include <limits>

#include "guarded_call.h"
#include "text_copy.h"

namespace {

int32_t BufferCount(const InstanceRecord& inst) {
  return inst.num_buffers < 0 ? 0 : (inst.num_buffers > kMaxBuffers ? kMaxBuffers
                                                                    : inst.num_buffers);
}

void ClearInstanceBuffers(InstanceRecord& inst) {
  for (uint8_t*& buffer : inst.InstFrameBuffer) buffer = nullptr;
}

}  // namespace

Herror AllocateBoard(Hproc_handle proc_id, InstanceRecord& inst, const char* device) {
  void* block = nullptr;
  const Herror status = HostAlloc(proc_id, sizeof(BoardRecord), &block,
                                  "HXAlloc(proc_id, sizeof(BoardRecord), &currInst->board)",
                                  __LINE__);
  if (status > H_MSG_OK) return status;
  inst.board = static_cast<BoardRecord*>(block);
  std::memset(inst.board, 0, sizeof(BoardRecord));
  CopyText(inst.board->device, device);
  return H_MSG_OK;
}

Herror AllocateFrameBuffers(Hproc_handle proc_id, InstanceRecord& inst, int64_t size) {
  BoardRecord& board = *inst.board;
  inst.own_buffers = false;
  // The record's size field is 32 bits wide; a larger sensor cannot be held.
  // No size at all means the camera's maximum size could not be read: every
  // grab would fail, so the open does.
  if (size <= 0 || size > std::numeric_limits<int32_t>::max()) return H_ERR_FGDV;
  const int32_t count = BufferCount(inst);
  for (int32_t i = 0; i < count; ++i) {
    void* block = nullptr;
    const Herror status =
        HostAlloc(proc_id, static_cast<size_t>(size), &block,
                  "HXAlloc(proc_id, buffer_size, &board->BoardFrameBuffer[i])", __LINE__);
    if (status != H_MSG_OK) return status;
    board.BoardFrameBuffer[i] = static_cast<uint8_t*>(block);
  }
  board.buffer_size = static_cast<int32_t>(size);
  inst.frame_buffer_size = board.buffer_size;
  ClearInstanceBuffers(inst);
  for (int32_t i = 0; i < count; ++i) inst.InstFrameBuffer[i] = board.BoardFrameBuffer[i];
  ++board.buffer_users;
  return H_MSG_OK;
}

Herror TeardownInstance(Hproc_handle proc_id, InstanceRecord* inst, Herror err) {
  if (BoardRecord* board = inst->board) {
    for (uint8_t*& buffer : board->BoardFrameBuffer) {
      if (buffer != nullptr) HostFreeQuiet(proc_id, buffer, __LINE__);
      buffer = nullptr;
    }
    HostFreeQuiet(proc_id, board, __LINE__);
    inst->board = nullptr;
  }
  ClearInstanceBuffers(*inst);
  if (inst->cancel_mutex != nullptr) {
    const Herror status = HCALL("HpThreadMutexDestroy(&(currInst->cancel_mutex))",
                                HpThreadMutexDestroy(&inst->cancel_mutex));
    if (status > H_MSG_OK) return status;
    inst->cancel_mutex = nullptr;
  }
  return err;
}

Herror FreeInstanceMemory(Hproc_handle proc_id, InstanceRecord& inst) {
  BoardRecord& board = *inst.board;
  const int32_t count = BufferCount(inst);
  if (inst.own_buffers) {
    for (int32_t i = 0; i < count; ++i) {
      if (inst.InstFrameBuffer[i] == nullptr) continue;
      const Herror status = HostFree(proc_id, inst.InstFrameBuffer[i],
                                     "HXFree(proc_id, currInst->InstFrameBuffer[i])", __LINE__);
      if (status > H_MSG_OK) return status;
      inst.InstFrameBuffer[i] = nullptr;
    }
  }
  // The board holds no buffer in volatile mode; whatever it holds is freed.
  for (uint8_t*& buffer : board.BoardFrameBuffer) {
    if (buffer == nullptr) continue;
    const Herror status =
        HostFree(proc_id, buffer, "HXFree(proc_id, board->BoardFrameBuffer[i])", __LINE__);
    if (status > H_MSG_OK) return status;
    buffer = nullptr;
  }
  if (!inst.own_buffers) {
    board.buffer_size = 0;
    if (board.buffer_users > 0) --board.buffer_users;
  }
  ClearInstanceBuffers(inst);
  // The mutex goes before the board, so a failure at either step leaves the
  // record holding a live board and a retried close finishes the job.
  if (inst.cancel_mutex != nullptr) {
    const Herror status = HCALL("HpThreadMutexDestroy(&(currInst->cancel_mutex))",
                                HpThreadMutexDestroy(&inst.cancel_mutex));
    if (status > H_MSG_OK) return status;
    inst.cancel_mutex = nullptr;
  }
  const Herror status = HostFree(proc_id, inst.board, "HXFree(proc_id, currInst->board)", __LINE__);
  if (status > H_MSG_OK) return status;
  inst.board = nullptr;
  return H_MSG_OK;
}
