// The six control objects and their create entry points.  A control keeps
// its camera; its accessors hand out by-value nodes for that camera.
#include "feature_nodes.h"
#include "sim_state.h"
#include "status_guard.h"

namespace simsdk {
namespace {

template <typename Record>
struct Control {
  Record record;
  SimCamera* camera;
};

template <typename Record>
SimCamera* CameraOfControl(Record* self) {
  return self && self->priv ? static_cast<Control<Record>*>(self->priv)->camera : nullptr;
}

template <typename Record>
int32_t ReleaseControl(Record* self) {
  if (!self || !self->priv) return SDK_FAIL;
  {
    std::lock_guard lock(TheSim().mutex);
    --TheSim().live.controls;
  }
  delete static_cast<Control<Record>*>(self->priv);
  return SDK_OK;
}

// Checks the request and the camera, consumes a fault, and allocates a
// control whose record the caller then fills.
template <typename Record>
int32_t CreateControl(const ControlCreateInfo* info, Record** out, SimOp op,
                      void (*fill)(Record&)) {
  return Guarded([&]() -> int32_t {
    if (!info || !out) return SDK_FAIL;
    Sim& sim = TheSim();
    std::lock_guard lock(sim.mutex);
    SimCamera* camera = CameraOf(info->camera);
    if (!camera || !camera->Ready() || TakeFault(sim, camera, op)) return SDK_FAIL;
    auto* control = new Control<Record>{{}, camera};
    control->record.priv = control;
    control->record.release = &ReleaseControl<Record>;
    fill(control->record);
    ++sim.live.controls;
    *out = &control->record;
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
}  // namespace simsdk

using namespace simsdk;

extern "C" {

SDK_API int32_t GENICAM_createAcquisitionControl(const ControlCreateInfo* info,
                                                 GENICAM_AcquisitionControl** ctl) {
  return CreateControl(info, ctl, SimOp::CreateAcquisitionControl, &FillAcquisition);
}

SDK_API int32_t GENICAM_createImageFormatControl(const ControlCreateInfo* info,
                                                 GENICAM_ImageFormatControl** ctl) {
  return CreateControl(info, ctl, SimOp::CreateImageFormatControl, &FillImageFormat);
}

SDK_API int32_t GENICAM_createAnalogControl(const ControlCreateInfo* info,
                                            GENICAM_AnalogControl** ctl) {
  return CreateControl(info, ctl, SimOp::CreateAnalogControl, &FillAnalog);
}

SDK_API int32_t GENICAM_createISPControl(const ControlCreateInfo* info, GENICAM_ISPControl** ctl) {
  return CreateControl(info, ctl, SimOp::CreateISPControl, &FillIsp);
}

SDK_API int32_t GENICAM_createUserSetControl(const ControlCreateInfo* info,
                                             GENICAM_UserSetControl** ctl) {
  return CreateControl(info, ctl, SimOp::CreateUserSetControl, &FillUserSet);
}

SDK_API int32_t GENICAM_createDeviceControl(const ControlCreateInfo* info,
                                            GENICAM_DeviceControl** ctl) {
  return CreateControl(info, ctl, SimOp::CreateDeviceControl, &FillDevice);
}

}  // extern "C"
