// The host's grab operations (slots 4 to 8).  Threads: any application
// thread; the bookkeeping runs under the instance's cancel_mutex, the frame
// wait, conversion and image building without it.  The camera entry's SDK
// objects are used only while its objects_lock is held shared.
#include <mutex>
#include <shared_mutex>

#include "camera_table.h"
#include "cancel_mutex.h"
#include "frame_delivery.h"
#include "grab_ring.h"
#include "guarded_call.h"
#include "interface_state.h"
#include "messages.h"
#include "operations.h"
#include "shared_fields.h"
#include "stream_control.h"
#include "stream_readiness.h"

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
  if (stop_after_grab.load() == 1 && StopGrabbing(stream) != 0) {
    PrintMessage("StopGrabbing  fail.\n");
    return H_ERR_FGDV;
  }
  return H_MSG_OK;
}

// Frame wait, conversion and images; runs with the entry's objects held
// shared so no close can release the stream meanwhile.
Herror GrabFrame(Hproc_handle proc_id, FGInstance* fginst, CameraEntry& entry, int32_t readBuffer,
                 Himage* image, int32_t* num_image) {
  InstanceRecord* currInst = fginst->inst_data;
  std::shared_lock<std::shared_mutex> objects(entry.objects_lock);
  GENICAM_StreamSource* stream = nullptr;
  Herror err = EnsureStreamReady(entry, objects, &stream);
  if (err != H_MSG_OK) return err;

  if (last_set_param.Equals("PixelFormat")) DropOneFrame(stream);

  GENICAM_Frame* obtained = nullptr;
  if (stream->getFrame(stream, &obtained, kFrameTimeoutMs) != SDK_OK || obtained == nullptr) {
    PrintMessage("getFrame fail\r\n");
    err = StopIfAsked(stream);
    return err != H_MSG_OK ? err : H_ERR_FGTIMEOUT;
  }
  HeldFrame frame(obtained);
  if (obtained->valid(obtained) != SDK_OK) {
    // An incomplete frame is handed back, never delivered as a new image.
    PrintMessage("getFrame incomplete frame\r\n");
    return H_ERR_FGTIMEOUT;
  }

  // One snapshot of what the parameter threads may change meanwhile, so the
  // conversion, the images and their bounds agree.
  const ImageRequest request = ReadImageRequest(*fginst);
  const FrameBuffer ring{LoadShared(currInst->InstFrameBuffer[readBuffer]),
                         currInst->frame_buffer_size};
  err = DeliverFrame(proc_id, request, LoadShared(currInst->volatile_mode), frame, ring, image,
                     num_image);
  if (err != H_MSG_OK) return err;

  StoreShared(fginst->async_grab, false);
  err = StopIfAsked(stream);
  if (err != H_MSG_OK) return err;
  stop_after_grab.store(0);
  return H_MSG_OK;
}

}  // namespace

Herror FGGrab(Hproc_handle proc_id, FGInstance* fginst, Himage* image,
              int32_t* num_image) noexcept {
  InstanceRecord* currInst = fginst->inst_data;
  int32_t readBuffer = 0;
  Herror err = LockCancelMutex(currInst);
  if (err != H_MSG_OK) return err;
  // A failure here left the mutex unlocked.
  err = NextGrabBuffer(proc_id, fginst, &readBuffer);
  if (err != H_MSG_OK) return err;
  err = UnlockCancelMutex(currInst);
  if (err != H_MSG_OK) return err;

  CameraEntry* entry = FindCameraEntry(fginst);
  if (entry == nullptr) return H_ERR_FGDV;
  return GrabFrame(proc_id, fginst, *entry, readBuffer, image, num_image);
}

Herror FGGrabStartAsync(Hproc_handle /*proc_id*/, FGInstance* fginst, double max_delay) noexcept {
  InstanceRecord* currInst = fginst->inst_data;
  stop_after_grab.store(0);
  async_grab_used.store(1);
  CameraEntry* entry = FindCameraEntry(fginst);
  if (entry == nullptr) return H_ERR_FGDV;
  {
    std::shared_lock<std::shared_mutex> objects(entry->objects_lock);
    GENICAM_StreamSource* stream = nullptr;
    const Herror err = EnsureStreamReady(*entry, objects, &stream);
    if (err != H_MSG_OK) return err;
  }
  Herror err = LockCancelMutex(currInst);
  if (err != H_MSG_OK) return err;
  StoreShared(currInst->async_max_delay, DelayFromArgument(max_delay));
  currInst->async_start_time = Now();
  StoreShared(currInst->grab_started, true);
  return UnlockCancelMutex(currInst);
}

Herror FGGrabAsync(Hproc_handle proc_id, FGInstance* fginst, double max_delay, Himage* image,
                   int32_t* num_image) noexcept {
  StoreShared(fginst->inst_data->async_max_delay, DelayFromArgument(max_delay));
  StoreShared(fginst->async_grab, true);
  // The grab's own error is the answer when it fails.
  return HCALL("FGGrab(proc_id, fginst, image, num_image)",
               FGGrab(proc_id, fginst, image, num_image));
}

Herror FGGrabData(Hproc_handle /*proc_id*/, FGInstance* fginst, void* /*images*/, void* /*regions*/,
                  void* /*contours*/, void* /*data*/) noexcept {
  StoreShared(fginst->async_grab, false);
  return H_ERR_FGNOTSUP;
}

Herror FGGrabDataAsync(Hproc_handle /*proc_id*/, FGInstance* fginst, double max_delay,
                       void* /*images*/, void* /*regions*/, void* /*contours*/,
                       void* /*data*/) noexcept {
  StoreShared(fginst->inst_data->async_max_delay, DelayFromArgument(max_delay));
  StoreShared(fginst->async_grab, true);
  return H_ERR_FGNOTSUP;
}
