// Reaching one feature node of a camera's control objects.  An accessor
// answers false when the control object is not there (never created, or
// released by a close), so no caller touches a released object.  Callers
// hold the entry's objects_lock shared while they use a node.
#pragma once

#include "base/records.h"
#include "bindings/camera_sdk.h"

using FloatFeature = bool (*)(const CameraEntry& camera, GENICAM_DoubleNode* node);
using IntFeature = bool (*)(const CameraEntry& camera, GENICAM_IntNode* node);
using BoolFeature = bool (*)(const CameraEntry& camera, GENICAM_BoolNode* node);
using EnumFeature = bool (*)(const CameraEntry& camera, GENICAM_EnumNode* node);
using StringFeature = bool (*)(const CameraEntry& camera, GENICAM_StringNode* node);

template <class Control, class Node, Control* CameraEntry::*kControl,
          Node (*Control::*kAccessor)(Control*)>
bool NodeOf(const CameraEntry& camera, Node* node) {
  Control* control = camera.*kControl;
  if (control == nullptr || control->*kAccessor == nullptr) return false;
  *node = (control->*kAccessor)(control);
  return true;
}

inline constexpr FloatFeature kExposureTimeNode =
    &NodeOf<GENICAM_AcquisitionControl, GENICAM_DoubleNode, &CameraEntry::acquisition_ctl,
            &GENICAM_AcquisitionControl::exposureTime>;
inline constexpr FloatFeature kAcquisitionFrameRateNode =
    &NodeOf<GENICAM_AcquisitionControl, GENICAM_DoubleNode, &CameraEntry::acquisition_ctl,
            &GENICAM_AcquisitionControl::acquisitionFrameRate>;
inline constexpr BoolFeature kAcquisitionFrameRateEnableNode =
    &NodeOf<GENICAM_AcquisitionControl, GENICAM_BoolNode, &CameraEntry::acquisition_ctl,
            &GENICAM_AcquisitionControl::acquisitionFrameRateEnable>;
inline constexpr FloatFeature kGainRawNode =
    &NodeOf<GENICAM_AnalogControl, GENICAM_DoubleNode, &CameraEntry::analog_ctl,
            &GENICAM_AnalogControl::gainRaw>;
inline constexpr FloatFeature kGammaNode =
    &NodeOf<GENICAM_AnalogControl, GENICAM_DoubleNode, &CameraEntry::analog_ctl,
            &GENICAM_AnalogControl::gamma>;
inline constexpr IntFeature kContrastNode =
    &NodeOf<GENICAM_ISPControl, GENICAM_IntNode, &CameraEntry::isp_ctl,
            &GENICAM_ISPControl::contrast>;
inline constexpr IntFeature kWidthNode =
    &NodeOf<GENICAM_ImageFormatControl, GENICAM_IntNode, &CameraEntry::image_format_ctl,
            &GENICAM_ImageFormatControl::width>;
inline constexpr IntFeature kHeightNode =
    &NodeOf<GENICAM_ImageFormatControl, GENICAM_IntNode, &CameraEntry::image_format_ctl,
            &GENICAM_ImageFormatControl::height>;
inline constexpr BoolFeature kReverseXNode =
    &NodeOf<GENICAM_ImageFormatControl, GENICAM_BoolNode, &CameraEntry::image_format_ctl,
            &GENICAM_ImageFormatControl::reverseX>;
inline constexpr BoolFeature kReverseYNode =
    &NodeOf<GENICAM_ImageFormatControl, GENICAM_BoolNode, &CameraEntry::image_format_ctl,
            &GENICAM_ImageFormatControl::reverseY>;
inline constexpr EnumFeature kPixelFormatNode =
    &NodeOf<GENICAM_ImageFormatControl, GENICAM_EnumNode, &CameraEntry::image_format_ctl,
            &GENICAM_ImageFormatControl::pixelFormat>;
inline constexpr StringFeature kDeviceUserIDNode =
    &NodeOf<GENICAM_DeviceControl, GENICAM_StringNode, &CameraEntry::dev_ctl,
            &GENICAM_DeviceControl::deviceUserID>;

// A node taken from a control and released when this goes out of scope, on
// every path.
template <class Node>
class HeldNode {
 public:
  HeldNode(bool (*accessor)(const CameraEntry&, Node*), const CameraEntry& camera)
      : held_(accessor != nullptr && accessor(camera, &node_)) {}
  ~HeldNode() {
    if (held_ && node_.release != nullptr) node_.release(&node_);
  }
  HeldNode(const HeldNode&) = delete;
  HeldNode& operator=(const HeldNode&) = delete;

  bool held() const { return held_; }
  Node* get() { return &node_; }

 private:
  Node node_{};
  bool held_;
};
