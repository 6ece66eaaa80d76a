// The six control objects and their create entry points.  A control keeps
// its camera; each accessor hands out a by-value node for one feature of
// that camera, named here.
#include <memory>

#include "abi_state.h"
#include "camera_records.h"
#include "common/abi_barrier.h"
#include "feature_nodes.h"

namespace sdkabi {
namespace {

template <typename Record>
struct Control {
  Record record;
  Camera* camera;
};

template <typename Record>
Camera* CameraOfControl(Record* self) {
  return self && self->priv ? static_cast<Control<Record>*>(self->priv)->camera : nullptr;
}

template <typename Record>
int32_t ReleaseControl(Record* self) {
  if (!self || !self->priv) return SDK_FAIL;
  CountLive(&LiveObjectCount::controls, -1);
  delete static_cast<Control<Record>*>(self->priv);
  return SDK_OK;
}

// Checks the request and the camera, takes a fault, and makes a control
// whose accessors `fill` sets.
template <typename Record>
int32_t CreateControl(const ControlCreateInfo* info, Record** out, FaultPoint point,
                      void (*fill)(Record&)) {
  return boundary::Barrier(SDK_FAIL, [&] {
    if (!info || !out) return SDK_FAIL;
    Camera* camera = CameraOf(info->camera);
    if (!camera || camera->State() != CameraState::Connected || TakeFault(camera, point))
      return SDK_FAIL;
    auto control = std::make_unique<Control<Record>>(Control<Record>{{}, camera});
    control->record.priv = control.get();
    control->record.release = &ReleaseControl<Record>;
    fill(control->record);
    CountLive(&LiveObjectCount::controls, 1);
    *out = &control.release()->record;
    return SDK_OK;
  });
}

void FillAcquisition(GENICAM_AcquisitionControl& r) {
  using R = GENICAM_AcquisitionControl;
  r.acquisitionFrameRate = [](R* s) {
    return MakeDoubleNode(CameraOfControl(s), "AcquisitionFrameRate");
  };
  r.acquisitionFrameRateEnable = [](R* s) {
    return MakeBoolNode(CameraOfControl(s), "AcquisitionFrameRateEnable");
  };
  r.exposureAuto = [](R* s) { return MakeEnumNode(CameraOfControl(s), "ExposureAuto"); };
  r.exposureTime = [](R* s) { return MakeDoubleNode(CameraOfControl(s), "ExposureTime"); };
  r.triggerMode = [](R* s) { return MakeEnumNode(CameraOfControl(s), "TriggerMode"); };
  r.triggerSelector = [](R* s) { return MakeEnumNode(CameraOfControl(s), "TriggerSelector"); };
  r.triggerSource = [](R* s) { return MakeEnumNode(CameraOfControl(s), "TriggerSource"); };
  r.triggerSoftware = [](R* s) { return MakeCmdNode(CameraOfControl(s), "TriggerSoftware"); };
}

void FillImageFormat(GENICAM_ImageFormatControl& r) {
  using R = GENICAM_ImageFormatControl;
  r.width = [](R* s) { return MakeIntNode(CameraOfControl(s), "Width"); };
  r.height = [](R* s) { return MakeIntNode(CameraOfControl(s), "Height"); };
  r.pixelFormat = [](R* s) { return MakeEnumNode(CameraOfControl(s), "PixelFormat"); };
  r.reverseX = [](R* s) { return MakeBoolNode(CameraOfControl(s), "ReverseX"); };
  r.reverseY = [](R* s) { return MakeBoolNode(CameraOfControl(s), "ReverseY"); };
}

void FillAnalog(GENICAM_AnalogControl& r) {
  using R = GENICAM_AnalogControl;
  r.gainRaw = [](R* s) { return MakeDoubleNode(CameraOfControl(s), "GainRaw"); };
  r.gamma = [](R* s) { return MakeDoubleNode(CameraOfControl(s), "Gamma"); };
}

void FillIsp(GENICAM_ISPControl& r) {
  r.contrast = [](GENICAM_ISPControl* s) { return MakeIntNode(CameraOfControl(s), "Contrast"); };
}

void FillUserSet(GENICAM_UserSetControl&) {}

void FillDevice(GENICAM_DeviceControl& r) {
  r.deviceUserID = [](GENICAM_DeviceControl* s) {
    return MakeStringNode(CameraOfControl(s), "DeviceUserID");
  };
}

}  // namespace
}  // namespace sdkabi

using namespace sdkabi;

extern "C" {

SDK_API int32_t GENICAM_createAcquisitionControl(const ControlCreateInfo* info,
                                                 GENICAM_AcquisitionControl** ctl) {
  return CreateControl(info, ctl, FaultPoint::CreateAcquisitionControl, &FillAcquisition);
}

SDK_API int32_t GENICAM_createImageFormatControl(const ControlCreateInfo* info,
                                                 GENICAM_ImageFormatControl** ctl) {
  return CreateControl(info, ctl, FaultPoint::CreateImageFormatControl, &FillImageFormat);
}

SDK_API int32_t GENICAM_createAnalogControl(const ControlCreateInfo* info,
                                            GENICAM_AnalogControl** ctl) {
  return CreateControl(info, ctl, FaultPoint::CreateAnalogControl, &FillAnalog);
}

SDK_API int32_t GENICAM_createISPControl(const ControlCreateInfo* info, GENICAM_ISPControl** ctl) {
  return CreateControl(info, ctl, FaultPoint::CreateISPControl, &FillIsp);
}

SDK_API int32_t GENICAM_createUserSetControl(const ControlCreateInfo* info,
                                             GENICAM_UserSetControl** ctl) {
  return CreateControl(info, ctl, FaultPoint::CreateUserSetControl, &FillUserSet);
}

SDK_API int32_t GENICAM_createDeviceControl(const ControlCreateInfo* info,
                                            GENICAM_DeviceControl** ctl) {
  return CreateControl(info, ctl, FaultPoint::CreateDeviceControl, &FillDevice);
}

}  // extern "C"
