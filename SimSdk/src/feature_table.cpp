#include "feature_table.h"

#include <iterator>

namespace simsdk {
namespace {

template <auto Member>
void* RecordOf(CameraConfig& camera) {
  return &(camera.*Member);
}

constexpr FeatureDef kFeatures[] = {
    {"Width", FeatureType::Int, &RecordOf<&CameraConfig::width>},
    {"Height", FeatureType::Int, &RecordOf<&CameraConfig::height>},
    {"PixelFormat", FeatureType::Enum, &RecordOf<&CameraConfig::pixel_format>},
    {"ReverseX", FeatureType::Bool, &RecordOf<&CameraConfig::reverse_x>},
    {"ReverseY", FeatureType::Bool, &RecordOf<&CameraConfig::reverse_y>},
    {"AcquisitionFrameRate", FeatureType::Float, &RecordOf<&CameraConfig::acquisition_frame_rate>},
    {"AcquisitionFrameRateEnable", FeatureType::Bool,
     &RecordOf<&CameraConfig::acquisition_frame_rate_enable>},
    {"ExposureAuto", FeatureType::Enum, &RecordOf<&CameraConfig::exposure_auto>},
    {"ExposureTime", FeatureType::Float, &RecordOf<&CameraConfig::exposure_time>},
    {"TriggerMode", FeatureType::Enum, &RecordOf<&CameraConfig::trigger_mode>},
    {"TriggerSelector", FeatureType::Enum, &RecordOf<&CameraConfig::trigger_selector>},
    {"TriggerSource", FeatureType::Enum, &RecordOf<&CameraConfig::trigger_source>},
    {"TriggerSoftware", FeatureType::Command, &RecordOf<&CameraConfig::trigger_software>},
    {"GainRaw", FeatureType::Float, &RecordOf<&CameraConfig::gain_raw>},
    {"Gamma", FeatureType::Float, &RecordOf<&CameraConfig::gamma>},
    {"Contrast", FeatureType::Int, &RecordOf<&CameraConfig::contrast>},
    {"ContrastMode", FeatureType::Enum, &RecordOf<&CameraConfig::contrast_mode>},
    {"DeviceUserID", FeatureType::String, &RecordOf<&CameraConfig::device_user_id>},
};

}  // namespace

const FeatureDef* FindFeature(std::string_view name) {
  for (const FeatureDef& def : kFeatures)
    if (def.name == name) return &def;
  return nullptr;
}

const FeatureDef* FeaturesBegin() {
  return std::begin(kFeatures);
}
const FeatureDef* FeaturesEnd() {
  return std::end(kFeatures);
}

bool FeaturePresent(CameraConfig& camera, const FeatureDef& def) {
  switch (def.type) {
    case FeatureType::Int:
      return FeatureRecord<IntFeature>(camera, def).present;
    case FeatureType::Float:
      return FeatureRecord<FloatFeature>(camera, def).present;
    case FeatureType::Bool:
      return FeatureRecord<BoolFeature>(camera, def).present;
    case FeatureType::Enum:
      return FeatureRecord<EnumFeature>(camera, def).present;
    case FeatureType::String:
      return FeatureRecord<StringFeature>(camera, def).present;
    case FeatureType::Command:
      return FeatureRecord<CommandFeature>(camera, def).present;
  }
  return false;
}

bool OnIncrement(const IntFeature& f, int64_t value) {
  // Unsigned, as the distance between the limits of int64_t overflows it.
  return (static_cast<uint64_t>(value) - static_cast<uint64_t>(f.min)) %
             static_cast<uint64_t>(f.inc) ==
         0;
}

}  // namespace simsdk
