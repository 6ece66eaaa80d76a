#include "device/camera_link.h"

#include "base/contract_texts.h"
#include "base/messages.h"
#include "registration/sdk_binding.h"

Herror ConnectCamera(GENICAM_Camera* camera) {
  if (camera == nullptr) return H_ERR_FGDV;
  return camera->connect(camera, SDK_ACCESS_CONTROL) == SDK_OK ? H_MSG_OK : H_ERR_FGDV;
}

Herror CreateStream(GENICAM_Camera* camera, GENICAM_StreamSource** stream_slot) {
  const GENICAM_createStreamSource_fn create = BindSdk().createStreamSource;
  StreamSourceInfo info{};
  info.camera = camera;
  info.channelId = 0;
  GENICAM_StreamSource* stream = nullptr;
  if (camera == nullptr || create == nullptr || create(&info, &stream) != SDK_OK ||
      stream == nullptr) {
    PrintMessage(contract::kCreateStreamFailed);
    return H_ERR_FGDV;
  }
  *stream_slot = stream;
  return H_MSG_OK;
}
