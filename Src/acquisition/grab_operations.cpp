#include "acquisition/grab_operations.h"

#include <mutex>
#include <shared_mutex>

#include "acquisition/frame_delivery.h"
#include "acquisition/grab_ring.h"
#include "acquisition/stream_control.h"
#include "acquisition/stream_readiness.h"
#include "base/cancel_mutex.h"
#include "base/contract_texts.h"
#include "base/guarded_call.h"
#include "base/interface_state.h"
#include "base/messages.h"
#include "base/shared_fields.h"

namespace {

constexpr uint32_t kFrameTimeoutMs = 500;

// After a PixelFormat change the first frame may still have the old
// format: one frame is taken and handed back unseen.
void DropOneFrame(GENICAM_StreamSource* stream) {
  GENICAM_Frame* frame = nullptr;
  if (stream->getFrame(stream, &frame, kFrameTimeoutMs) == SDK_OK && frame != nullptr) {
    frame->release(frame);
  }
}

// The stop that stop_after_grab asks for.
Herror StopIfAsked(GENICAM_StreamSource* stream) {
  if (stop_after_grab.load() == 1 && StopGrabbing(stream) != H_MSG_OK) {
    PrintMessage(contract::kStopGrabbingFailed);
    return H_ERR_FGDV;
  }
  return H_MSG_OK;
}

// Frame wait, conversion and images; runs with the camera's objects held
// shared so no close can release the stream meanwhile.
Herror GrabFrame(Hproc_handle proc_id, const OpenInstance& open, int32_t read_buffer, Himage* image,
                 int32_t* num_image) {
  std::shared_lock<std::shared_mutex> objects(open.camera.objects_lock);
  GENICAM_StreamSource* stream = nullptr;
  Herror err = EnsureStreamReady(open.camera, objects, &stream);
  if (err != H_MSG_OK) return err;

  if (pixel_format_set_last.load()) DropOneFrame(stream);

  GENICAM_Frame* obtained = nullptr;
  if (stream->getFrame(stream, &obtained, kFrameTimeoutMs) != SDK_OK || obtained == nullptr) {
    PrintMessage(contract::kNoFrame);
    err = StopIfAsked(stream);
    return err != H_MSG_OK ? err : H_ERR_FGTIMEOUT;
  }
  HeldFrame frame(obtained);
  if (obtained->valid(obtained) != SDK_OK) {
    // An incomplete frame is handed back, never delivered as a new image.
    PrintMessage(contract::kIncompleteFrame);
    return H_ERR_FGTIMEOUT;
  }

  // One snapshot of what the parameter threads may change meanwhile, so the
  // conversion, the images and their bounds agree.
  const ImageRequest request = ReadImageRequest(open.fginst);
  const RingSlot slot{open.inst.InstFrameBuffer[read_buffer], open.inst.frame_buffer_size};
  err = DeliverFrame(proc_id, request, LoadShared(open.inst.volatile_mode), frame, slot, image,
                     num_image);
  if (err != H_MSG_OK) return err;

  StoreShared(open.fginst.async_grab, false);
  err = StopIfAsked(stream);
  if (err != H_MSG_OK) return err;
  stop_after_grab.store(0);
  return H_MSG_OK;
}

}  // namespace

Herror Grab(Hproc_handle proc_id, const OpenInstance& open, Himage* image, int32_t* num_image) {
  int32_t read_buffer = 0;
  Herror err = LockCancelMutex(open.inst);
  if (err != H_MSG_OK) return err;
  // A failure here left the mutex unlocked.
  err = NextGrabBuffer(open.fginst, open.inst, &read_buffer);
  if (err != H_MSG_OK) return err;
  err = UnlockCancelMutex(open.inst);
  if (err != H_MSG_OK) return err;
  return GrabFrame(proc_id, open, read_buffer, image, num_image);
}

void NoteAsyncGrabStart() noexcept {
  stop_after_grab.store(0);
  async_grab_used.store(1);
}

Herror StartAsyncGrab(const OpenInstance& open, double max_delay) {
  {
    std::shared_lock<std::shared_mutex> objects(open.camera.objects_lock);
    GENICAM_StreamSource* stream = nullptr;
    const Herror err = EnsureStreamReady(open.camera, objects, &stream);
    if (err != H_MSG_OK) return err;
  }
  const Herror err = LockCancelMutex(open.inst);
  if (err != H_MSG_OK) return err;
  StoreShared(open.inst.async_max_delay, DelayFromArgument(max_delay));
  open.inst.async_start_time = Now();
  StoreShared(open.inst.grab_started, true);
  return UnlockCancelMutex(open.inst);
}

Herror GrabAsync(Hproc_handle proc_id, const OpenInstance& open, double max_delay, Himage* image,
                 int32_t* num_image) {
  StoreShared(open.inst.async_max_delay, DelayFromArgument(max_delay));
  StoreShared(open.fginst.async_grab, true);
  return HCALL(contract::kGrabForAsync, Grab(proc_id, open, image, num_image));
}

Herror GrabData(const OpenInstance& open) {
  StoreShared(open.fginst.async_grab, false);
  return H_ERR_FGNOTSUP;
}

Herror GrabDataAsync(const OpenInstance& open, double max_delay) {
  StoreShared(open.inst.async_max_delay, DelayFromArgument(max_delay));
  StoreShared(open.fginst.async_grab, true);
  return H_ERR_FGNOTSUP;
}
