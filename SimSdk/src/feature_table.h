// The camera features by GenICam name: one table serves the controls'
// accessors, the nodes made by name, fault matching and the JSON loader.
#pragma once

#include <string_view>

#include "sdk_abi/backend.h"
#include "sim_control.h"

namespace simsdk {

using FeatureType = sdkabi::FeatureKind;

struct FeatureDef {
  std::string_view name;
  FeatureType type;
  void* (*record)(CameraConfig& camera);  // the typed feature record
};

// Null for a name the cameras do not have (matched exactly).
const FeatureDef* FindFeature(std::string_view name);

// Every feature, in table order.
const FeatureDef* FeaturesBegin();
const FeatureDef* FeaturesEnd();

template <typename Record>
Record& FeatureRecord(CameraConfig& camera, const FeatureDef& def) {
  return *static_cast<Record*>(def.record(camera));
}

// Whether the feature exists on this camera.
bool FeaturePresent(CameraConfig& camera, const FeatureDef& def);

// Whether value (at least f.min; f.inc at least 1) is f.min plus a
// multiple of f.inc.
bool OnIncrement(const IntFeature& f, int64_t value);

}  // namespace simsdk
