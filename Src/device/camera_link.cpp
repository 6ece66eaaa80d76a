#include "camera_link.h"

#include "sdk_binding.h"

int32_t ConnectCamera(GENICAM_Camera* camera) {
  if (camera == nullptr) return -1;
  return camera->connect(camera, SDK_ACCESS_CONTROL) == SDK_OK ? 0 : -1;
}

int32_t CreateStream(GENICAM_Camera* camera, GENICAM_StreamSource** stream_slot) {
  const GENICAM_createStreamSource_fn create = BindSdk().createStreamSource;
  if (camera == nullptr || stream_slot == nullptr || create == nullptr) return -1;
  StreamSourceInfo info{};
  info.camera = camera;
  info.channelId = 0;
  GENICAM_StreamSource* stream = nullptr;
  if (create(&info, &stream) != SDK_OK || stream == nullptr) return -1;
  *stream_slot = stream;
  return 0;
}
