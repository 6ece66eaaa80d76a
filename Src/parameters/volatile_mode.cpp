// The volatile switch moves the frame buffers between the board and the
// instance; nothing is allocated, copied or freed, and the buffers keep the
// size the open gave them.  A grab on another thread reads volatile_mode
// and the InstFrameBuffer entries through std::atomic_ref; the entries keep
// pointing at the same buffers across both moves.
#include "parameter_setters.h"
#include "shared_fields.h"

namespace {

int32_t BufferCount(const InstanceRecord& inst) {
  return inst.num_buffers < 0 ? 0 : (inst.num_buffers > kMaxBuffers ? kMaxBuffers
                                                                    : inst.num_buffers);
}

Herror Enable(const SetRequest& request) {
  FGInstance& fginst = request.fginst;
  InstanceRecord& inst = request.inst;
  // Volatile images wrap a buffer as one byte image.
  if (LoadShared(fginst.bits_per_channel) != 8 || LoadShared(fginst.num_channels) != 1) {
    return H_ERR_FGPARV;
  }
  if (LoadShared(inst.volatile_mode)) return H_MSG_OK;
  BoardRecord& board = *inst.board;
  for (int32_t i = 0; i < BufferCount(inst); ++i) {
    StoreShared(inst.InstFrameBuffer[i], board.BoardFrameBuffer[i]);
    board.BoardFrameBuffer[i] = nullptr;
  }
  board.buffer_size = 0;
  board.buffer_users = 0;
  inst.own_buffers = true;
  StoreShared(inst.volatile_mode, true);
  StoreShared(fginst.host_allocates_images, false);
  StoreShared(fginst.image_release_proc, static_cast<void*>(nullptr));
  return H_MSG_OK;
}

Herror Disable(const SetRequest& request) {
  FGInstance& fginst = request.fginst;
  InstanceRecord& inst = request.inst;
  if (!LoadShared(inst.volatile_mode)) return H_MSG_OK;
  BoardRecord& board = *inst.board;
  for (int32_t i = 0; i < BufferCount(inst); ++i) {
    board.BoardFrameBuffer[i] = LoadShared(inst.InstFrameBuffer[i]);
  }
  inst.own_buffers = false;
  board.buffer_users = 1;
  // The buffers' real size: the camera's maximum image may have changed
  // since the open sized them.
  board.buffer_size = inst.frame_buffer_size;
  StoreShared(inst.volatile_mode, false);
  StoreShared(fginst.host_allocates_images, true);
  return H_MSG_OK;
}

}  // namespace

Herror SetVolatile(const SetRequest& request) {
  if (request.inst.board == nullptr) return H_ERR_FGPARV;
  switch (PositionInValues(request.entry, request.value->par.s)) {
    case 1:
      return Enable(request);
    case 0:
      return Disable(request);
    default:
      return H_ERR_FGPARV;
  }
}
