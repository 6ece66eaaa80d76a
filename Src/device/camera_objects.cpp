#include "device/camera_objects.h"

#include <cstdio>
#include <mutex>
#include <shared_mutex>

#include "base/contract_texts.h"
#include "base/messages.h"
#include "bindings/platform.h"
#include "device/camera_link.h"
#include "registration/sdk_binding.h"

namespace {

// Shows the box when the creator could not be bound, and never calls one
// that was not.
template <class Control>
Herror CreateControl(CameraEntry& entry, Control*& field,
                     int32_t (*create)(const ControlCreateInfo*, Control**), const char* name,
                     const char* failure_line) {
  if (field != nullptr) return H_MSG_OK;
  if (!BindSdk().library_loaded) {
    PlatformMessageBox(contract::kLibraryMissing, contract::kBoxCaption);
    return H_ERR_FGDV;
  }
  if (create == nullptr) {
    char box[96];  // the creators' names are a third of this
    std::snprintf(box, sizeof box, contract::kCreatorMissingFormat, name);
    PlatformMessageBox(box, contract::kBoxCaption);
    return H_ERR_FGDV;
  }
  ControlCreateInfo info{};
  info.camera = entry.camera;
  Control* made = nullptr;
  if (create(&info, &made) != SDK_OK || made == nullptr) {
    if (failure_line != nullptr) PrintMessage(failure_line);
    return H_ERR_FGDV;
  }
  std::unique_lock<std::shared_mutex> objects(entry.objects_lock);
  field = made;
  return H_MSG_OK;
}

// In this order; the first failure ends the open.
Herror CreateControls(CameraEntry& entry) {
  const SdkEntryPoints& sdk = BindSdk();
  Herror err = CreateControl(entry, entry.acquisition_ctl, sdk.createAcquisitionControl,
                             contract::kCreateAcquisitionControl, nullptr);
  if (err == H_MSG_OK) {
    err = CreateControl(entry, entry.image_format_ctl, sdk.createImageFormatControl,
                        contract::kCreateImageFormatControl, contract::kCreateImageControlFailed);
  }
  if (err == H_MSG_OK) {
    err = CreateControl(entry, entry.analog_ctl, sdk.createAnalogControl,
                        contract::kCreateAnalogControl, contract::kCreateAnalogControlFailed);
  }
  if (err == H_MSG_OK) {
    err = CreateControl(entry, entry.isp_ctl, sdk.createISPControl, contract::kCreateIspControl,
                        contract::kCreateIspControlFailed);
  }
  if (err == H_MSG_OK) {
    err = CreateControl(entry, entry.user_set_ctl, sdk.createUserSetControl,
                        contract::kCreateUserSetControl, contract::kCreateUserSetControlFailed);
  }
  if (err == H_MSG_OK) {
    err = CreateControl(entry, entry.dev_ctl, sdk.createDeviceControl,
                        contract::kCreateDeviceControl, contract::kCreateDeviceControlFailed);
  }
  return err;
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
  if (!ConnectedForOthers(entry)) {
    const Herror err = ConnectCamera(entry.camera);
    if (err != H_MSG_OK) return err;
  }
  const Herror err = CreateControls(entry);
  if (err != H_MSG_OK) return err;
  // A grab of another instance may renew the stream; look under the lock.
  std::unique_lock<std::shared_mutex> objects(entry.objects_lock);
  return entry.stream != nullptr ? H_MSG_OK : CreateStream(entry.camera, &entry.stream);
}

void ReleaseCameraObjects(CameraEntry& entry) {
  std::unique_lock<std::shared_mutex> objects(entry.objects_lock);
  if (GENICAM_StreamSource* stream = entry.stream) {
    if (stream->isGrabbing(stream) == SDK_OK && stream->stopGrabbing(stream) != SDK_OK) {
      PrintMessage(contract::kStopOnCloseFailed);
    }
    stream->release(stream);
    entry.stream = nullptr;
  }
  if (GENICAM_Camera* camera = entry.camera) {
    if (camera->isConnected(camera) == SDK_OK && camera->disConnect(camera) != SDK_OK) {
      PrintMessage(contract::kDisconnectFailed);
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

void AttachCamera(InstanceRecord& inst, CameraEntry& entry) {
  inst.camera = &entry;
  ++entry.users;
}

void DetachCamera(InstanceRecord& inst) {
  CameraEntry* entry = inst.camera;
  if (entry == nullptr) return;
  inst.camera = nullptr;
  if (entry->users > 0) --entry->users;
  if (entry->users == 0) ReleaseCameraObjects(*entry);
}
