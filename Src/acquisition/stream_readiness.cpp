#include "stream_readiness.h"

#include <mutex>

#include "camera_link.h"
#include "messages.h"
#include "stream_control.h"

namespace {

// Reconnects a camera found disconnected and replaces its stream; runs with
// objects_lock held exclusively.
Herror Reconnect(CameraEntry& entry) {
  GENICAM_Camera* camera = entry.camera;
  // Another grab may have reconnected it while this one waited for the lock.
  if (camera->isConnected(camera) != SDK_FAIL) return H_MSG_OK;
  if (ConnectCamera(camera) != 0) return H_ERR_FGDV;
  if (entry.stream != nullptr) {
    entry.stream->release(entry.stream);
    entry.stream = nullptr;
  }
  if (CreateStream(camera, &entry.stream) != 0) {
    PrintMessage("create stream obj  fail.\r\n");
    return H_ERR_FGDV;
  }
  return H_MSG_OK;
}

}  // namespace

Herror EnsureStreamReady(CameraEntry& entry, std::shared_lock<std::shared_mutex>& shared,
                         GENICAM_StreamSource** stream) {
  GENICAM_Camera* camera = entry.camera;
  if (camera->isConnected(camera) == SDK_FAIL) {
    shared.unlock();
    Herror err;
    {
      std::unique_lock<std::shared_mutex> exclusive(entry.objects_lock);
      err = Reconnect(entry);
    }
    shared.lock();
    if (err != H_MSG_OK) return err;
  }
  *stream = entry.stream;
  if (*stream == nullptr) return H_ERR_FGDV;
  if ((*stream)->isGrabbing(*stream) == SDK_FAIL && StartGrabbing(*stream) != 0) {
    PrintMessage("StartGrabbing  fail.\n");
    return H_ERR_FGDV;
  }
  return H_MSG_OK;
}
