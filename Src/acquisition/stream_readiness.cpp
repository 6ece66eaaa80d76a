#include "acquisition/stream_readiness.h"

#include <mutex>

#include "acquisition/stream_control.h"
#include "base/contract_texts.h"
#include "base/messages.h"
#include "device/camera_link.h"

namespace {

// Reconnects a camera found disconnected and replaces its stream; runs with
// objects_lock held exclusively.
Herror Reconnect(CameraEntry& entry) {
  GENICAM_Camera* camera = entry.camera;
  // Another grab may have reconnected it while this one waited for the lock.
  if (camera->isConnected(camera) != SDK_FAIL) return H_MSG_OK;
  const Herror err = ConnectCamera(camera);
  if (err != H_MSG_OK) return err;
  if (entry.stream != nullptr) {
    entry.stream->release(entry.stream);
    entry.stream = nullptr;
  }
  return CreateStream(camera, &entry.stream);
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
  if ((*stream)->isGrabbing(*stream) == SDK_FAIL && StartGrabbing(*stream) != H_MSG_OK) {
    PrintMessage(contract::kStartGrabbingFailed);
    return H_ERR_FGDV;
  }
  return H_MSG_OK;
}
