#include "camera_objects.h"

#include <cstdio>
#include <mutex>
#include <shared_mutex>

#include "camera_link.h"
#include "interface_state.h"
#include "messages.h"
#include "platform.h"

namespace {

constexpr char kBoxCaption[] = "FGOpen";

// Looks the creator up by name on every call (the SDK library may be
// replaced beside a running host), shows the box when it cannot be had, and
// never calls a function that was not found.
template <class Control>
bool CreateControl(CameraEntry& entry, Control*& field, const char* function_name,
                   const char* failure_line) {
  if (field != nullptr) return true;
  using Creator = int32_t (*)(const ControlCreateInfo*, Control**);
  if (sdk_module == nullptr) {
    PlatformMessageBox("fail to load dll!", kBoxCaption);
    return false;
  }
  const auto create = reinterpret_cast<Creator>(PlatformFindSymbol(sdk_module, function_name));
  if (create == nullptr) {
    char text[96];  // the creators' names are a third of this
    std::snprintf(text, sizeof text, "fail to GetProcAddress %s!", function_name);
    PlatformMessageBox(text, kBoxCaption);
    return false;
  }
  ControlCreateInfo info{};
  info.camera = entry.camera;
  Control* made = nullptr;
  if (create(&info, &made) != SDK_OK || made == nullptr) {
    if (failure_line != nullptr) PrintMessage(failure_line);
    return false;
  }
  std::unique_lock<std::shared_mutex> objects(entry.objects_lock);
  field = made;
  return true;
}

bool CreateControls(CameraEntry& entry) {
  return CreateControl(entry, entry.acquisition_ctl, "GENICAM_createAcquisitionControl", nullptr) &&
         CreateControl(entry, entry.image_format_ctl, "GENICAM_createImageFormatControl",
                       "Create Image Control Fail.\n") &&
         CreateControl(entry, entry.analog_ctl, "GENICAM_createAnalogControl",
                       "Create Analog Control Fail.\n") &&
         CreateControl(entry, entry.isp_ctl, "GENICAM_createISPControl",
                       "Create ISP Control Fail.\n") &&
         CreateControl(entry, entry.user_set_ctl, "GENICAM_createUserSetControl",
                       "Create UserSet Control Fail.\n") &&
         CreateControl(entry, entry.dev_ctl, "GENICAM_createDeviceControl",
                       "Create Device Control Fail.\n");
}

bool ConnectedForOthers(const CameraEntry& entry) {
  return entry.users > 0 && entry.camera->isConnected(entry.camera) == SDK_OK;
}

template <class Control>
void ReleaseControl(Control*& field) {
  if (field == nullptr) return;
  field->release(field);
  field = nullptr;
}

}  // namespace

Herror PrepareCameraObjects(CameraEntry& entry) {
  if (entry.camera == nullptr) return H_ERR_FGDV;
  if (!ConnectedForOthers(entry) && ConnectCamera(entry.camera) != 0) return H_ERR_FGDV;
  if (!CreateControls(entry)) return H_ERR_FGDV;
  // A grab of another instance may renew the stream; look under the lock.
  std::unique_lock<std::shared_mutex> objects(entry.objects_lock);
  if (entry.stream == nullptr) {
    if (CreateStream(entry.camera, &entry.stream) != 0) {
      PrintMessage("create stream obj  fail.\r\n");
      return H_ERR_FGDV;
    }
  }
  return H_MSG_OK;
}

void ReleaseCameraObjects(CameraEntry& entry) {
  std::unique_lock<std::shared_mutex> objects(entry.objects_lock);
  if (GENICAM_StreamSource* stream = entry.stream) {
    if (stream->isGrabbing(stream) == SDK_OK && stream->stopGrabbing(stream) != SDK_OK) {
      PrintMessage("stop grabbing fail.\r\n");
    }
    stream->release(stream);
    entry.stream = nullptr;
  }
  if (GENICAM_Camera* camera = entry.camera) {
    if (camera->isConnected(camera) == SDK_OK && camera->disConnect(camera) != SDK_OK) {
      PrintMessage("disconnect camera fail.\r\n");
    }
  }
  ReleaseControl(entry.image_format_ctl);
  ReleaseControl(entry.acquisition_ctl);
  ReleaseControl(entry.analog_ctl);
  ReleaseControl(entry.isp_ctl);
  ReleaseControl(entry.user_set_ctl);
  ReleaseControl(entry.dev_ctl);
}

void ReleaseUnusedCamera(CameraEntry& entry) {
  if (entry.users == 0) ReleaseCameraObjects(entry);
}
