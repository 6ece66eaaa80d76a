#include "device/camera_state.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <shared_mutex>

#include "base/contract_texts.h"
#include "base/text_copy.h"
#include "base/text_match.h"
#include "bindings/platform.h"
#include "registration/sdk_binding.h"

namespace {

template <class Node, class Value>
void ReadNode(Node node, Value* out) {
  Value value{};
  if (node.getValue(&node, &value) == SDK_OK) *out = value;
  node.release(&node);
}

void ReadFlag(GENICAM_BoolNode node, int32_t* out) {
  uint32_t value = 0;
  if (node.getValue(&node, &value) == SDK_OK) *out = value != 0 ? 1 : 0;
  node.release(&node);
}

void ReadSize(GENICAM_IntNode node, int64_t* current, int64_t* maximum) {
  int64_t value = 0;
  if (node.getValue(&node, &value) == SDK_OK) *current = value;
  if (node.getMaxVal(&node, &value) == SDK_OK) *maximum = value;
  node.release(&node);
}

// The current symbol, always terminated; empty when the read fails.
template <std::size_t N>
void ReadSymbolOf(GENICAM_EnumNode& node, char (&symbol)[N]) {
  std::memset(symbol, 0, N);
  uint32_t length = N;
  node.getValueSymbol(&node, symbol, &length);
  symbol[N - 1] = '\0';
}

template <std::size_t N>
void ReadSymbol(GENICAM_EnumNode node, char (&symbol)[N]) {
  ReadSymbolOf(node, symbol);
  node.release(&node);
}

void SetSymbol(GENICAM_EnumNode node, const char* symbol) {
  node.setValueBySymbol(&node, symbol);
  node.release(&node);
}

void ReadPixelFormats(GENICAM_ImageFormatControl* control, InstanceRecord& inst) {
  static_assert(sizeof(GENICAM_EnumEntry) == sizeof inst.pixel_formats[0],
                "the list is read straight into the record");
  GENICAM_EnumNode node = control->pixelFormat(control);
  uint32_t count = kMaxPixelFormats;
  inst.pixel_format_count = kMaxPixelFormats;
  if (node.getEnumSymbolList(&node, reinterpret_cast<GENICAM_EnumEntry*>(inst.pixel_formats),
                             &count) != SDK_OK) {
    PlatformMessageBox(contract::kPixelFormatListFailed, contract::kBoxCaption);
  }
  // Never trust a count or a name beyond the record's room.
  inst.pixel_format_count = static_cast<int32_t>(std::min<uint32_t>(count, kMaxPixelFormats));
  for (auto& name : inst.pixel_formats) name[kPixelFormatNameLen - 1] = '\0';

  char current[kPixelFormatNameLen];
  ReadSymbolOf(node, current);
  for (int32_t i = 0; i < inst.pixel_format_count; ++i) {
    if (std::strcmp(inst.pixel_formats[i], current) == 0) inst.pixel_format_index = i;
  }
  node.release(&node);
}

bool IsGrayFormat(const char* name) {
  return std::any_of(std::begin(contract::kGrayPixelFormats), std::end(contract::kGrayPixelFormats),
                     [name](const char* gray) { return std::strcmp(name, gray) == 0; });
}

void ResolveColorSpace(const FGInstance& fginst, InstanceRecord& inst) {
  if (!EqualsIgnoreCase(fginst.color_space, contract::kWordDefault)) {
    CopyText(inst.effective_color_space, fginst.color_space);
    return;
  }
  const int32_t index = std::clamp(inst.pixel_format_index, 0, kMaxPixelFormats - 1);
  CopyText(inst.effective_color_space,
           IsGrayFormat(inst.pixel_formats[index]) ? contract::kColourGray : contract::kColourRgb);
}

void ReadTriggerState(GENICAM_AcquisitionControl* control, InstanceRecord& inst) {
  char symbol[SDK_SYMBOL_LEN];
  ReadSymbol(control->triggerMode(control), symbol);
  if (std::strcmp(symbol, contract::kSymbolOff) == 0) {
    CopyText(inst.TriggerMode, contract::kTriggerContinuous);
    return;
  }
  ReadSymbol(control->triggerSource(control), symbol);
  CopyText(inst.TriggerMode, std::strcmp(symbol, contract::kSymbolSoftware) == 0
                                 ? contract::kTriggerSoftware
                                 : contract::kTriggerLine);
}

FeatureNodeInfo NodeRequest(GENICAM_Camera* camera, const char* feature) {
  FeatureNodeInfo info{};
  info.camera = camera;
  CopyText(info.attrName, feature);
  return info;
}

// A node the SDK did not make is skipped: the feature keeps its state.
void SwitchContrastModeOff(GENICAM_Camera* camera) {
  const GENICAM_createEnumNode_fn create = BindSdk().createEnumNode;
  if (create == nullptr) return;
  const FeatureNodeInfo info = NodeRequest(camera, contract::kContrastModeFeature);
  GENICAM_EnumNode* node = nullptr;
  if (create(&info, &node) != SDK_OK || node == nullptr) return;
  node->setValueBySymbol(node, contract::kSymbolOff);
  node->release(node);
}

void ReadDeviceUserId(GENICAM_Camera* camera, InstanceRecord& inst) {
  const GENICAM_createStringNode_fn create = BindSdk().createStringNode;
  if (create == nullptr) return;
  const FeatureNodeInfo info = NodeRequest(camera, contract::kDeviceUserIdFeature);
  GENICAM_StringNode* node = nullptr;
  if (create(&info, &node) != SDK_OK || node == nullptr) return;
  char text[SDK_STRING_LEN] = {};
  uint32_t length = sizeof text;
  node->getValue(node, text, &length);
  text[sizeof text - 1] = '\0';
  CopyText(inst.DeviceUserID, text);
  node->release(node);
}

}  // namespace

SensorSize ReadCameraState(CameraEntry& entry, const FGInstance& fginst, InstanceRecord& inst) {
  std::shared_lock<std::shared_mutex> objects(entry.objects_lock);
  GENICAM_ImageFormatControl* format = entry.image_format_ctl;
  GENICAM_AcquisitionControl* acquisition = entry.acquisition_ctl;
  GENICAM_AnalogControl* analog = entry.analog_ctl;

  SensorSize size{};
  ReadSize(format->width(format), &size.width, &size.width_max);
  ReadSize(format->height(format), &size.height, &size.height_max);
  ReadFlag(format->reverseX(format), &inst.ReverseX);
  ReadFlag(format->reverseY(format), &inst.ReverseY);
  ReadPixelFormats(format, inst);
  ResolveColorSpace(fginst, inst);
  SetSymbol(acquisition->exposureAuto(acquisition), contract::kSymbolOff);
  ReadNode(acquisition->exposureTime(acquisition), &inst.ExposureTime);
  ReadNode(acquisition->acquisitionFrameRate(acquisition), &inst.AcquisitionFrameRate);
  ReadFlag(acquisition->acquisitionFrameRateEnable(acquisition), &inst.AcquisitionFrameRateEnable);
  ReadNode(analog->gainRaw(analog), &inst.GainRaw);
  SwitchContrastModeOff(entry.camera);
  ReadNode(entry.isp_ctl->contrast(entry.isp_ctl), &inst.Contrast);
  ReadTriggerState(acquisition, inst);
  ReadDeviceUserId(entry.camera, inst);
  ReadNode(format->width(format), &inst.Width);
  ReadNode(format->height(format), &inst.Height);
  ReadNode(analog->gamma(analog), &inst.Gamma);
  return size;
}
