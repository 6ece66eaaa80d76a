// A simulated camera as the SDK's backend sees it: its state, connection
// and features, read and written in its CameraConfig.
#include <string_view>

#include "sim_state.h"
#include "stream_engine.h"

namespace simsdk {
namespace {

// Image geometry cannot change while the camera streams.
bool LockedWhileGrabbing(const SimCamera& camera, const FeatureDef& def) {
  const std::string_view n = def.name;
  if (n != "Width" && n != "Height" && n != "PixelFormat") return false;
  for (const StreamImpl* s : camera.streams)
    if (s->grabbing) return true;
  return false;
}

}  // namespace

sdkabi::CameraIdentity SimCamera::Identity() {
  std::lock_guard lock(TheSim().mutex);
  return {config.key, config.name, config.vendor, config.model, config.serial};
}

sdkabi::CameraState SimCamera::State() {
  std::lock_guard lock(TheSim().mutex);
  if (!Present()) return sdkabi::CameraState::Gone;
  return connected ? sdkabi::CameraState::Connected : sdkabi::CameraState::Disconnected;
}

bool SimCamera::Connect() {
  std::lock_guard lock(TheSim().mutex);
  if (!Present()) return false;
  connected = true;  // again in the same process: still ours
  return true;
}

bool SimCamera::Disconnect() {
  std::lock_guard lock(TheSim().mutex);
  if (!Present()) return false;
  StopCameraStreams(*this);
  connected = false;
  return true;
}

bool SimCamera::IsGrabbing() {
  std::lock_guard lock(TheSim().mutex);
  for (const StreamImpl* s : streams)
    if (s->grabbing) return true;
  return false;
}

uint64_t SimCamera::FramesDropped() {
  std::lock_guard lock(TheSim().mutex);
  // Frames due by now count as produced (or dropped) already.
  CatchUpCamera(*this, Clock::now());
  return frames_dropped;
}

bool SimCamera::HasFeature(const char* name, sdkabi::FeatureKind kind) {
  const FeatureDef* def = FindFeature(name);
  if (!def || def->type != kind) return false;
  std::lock_guard lock(TheSim().mutex);
  return FeaturePresent(config, *def);
}

// Hands the feature's record to `take` when the camera is ready and has
// the feature.
template <typename Record, typename Take>
bool SimCamera::Read(const char* name, FeatureType type, Take take) {
  const FeatureDef* def = FindFeature(name);
  std::lock_guard lock(TheSim().mutex);
  if (!def || def->type != type || !Ready() || !FeaturePresent(config, *def)) return false;
  take(FeatureRecord<Record>(config, *def));
  return true;
}

// Runs `apply` (which checks the value against the feature's limits) when
// the camera is ready, has the feature and does not lock it; streams see
// the change from now on.
template <typename Record, typename Apply>
bool SimCamera::Write(const char* name, FeatureType type, Apply apply) {
  const FeatureDef* def = FindFeature(name);
  std::lock_guard lock(TheSim().mutex);
  if (!def || def->type != type || !Ready() || !FeaturePresent(config, *def) ||
      LockedWhileGrabbing(*this, *def))
    return false;
  const auto now = Clock::now();
  CatchUpCamera(*this, now);
  const bool ok = apply(FeatureRecord<Record>(config, *def));
  RetimeCamera(*this, now);
  return ok;
}

bool SimCamera::ReadInt(const char* name, sdkabi::NumberPart part, int64_t& value) {
  using enum sdkabi::NumberPart;
  return Read<IntFeature>(name, FeatureType::Int, [&](const IntFeature& f) {
    value = part == Min ? f.min : part == Max ? f.max : part == Increment ? f.inc : f.value;
  });
}

bool SimCamera::ReadFloat(const char* name, sdkabi::NumberPart part, double& value) {
  using enum sdkabi::NumberPart;
  if (part == Increment) return false;
  return Read<FloatFeature>(name, FeatureType::Float, [&](const FloatFeature& f) {
    value = part == Min ? f.min : part == Max ? f.max : f.value;
  });
}

bool SimCamera::ReadBool(const char* name, bool& value) {
  return Read<BoolFeature>(name, FeatureType::Bool, [&](const BoolFeature& f) { value = f.value; });
}

bool SimCamera::ReadEnum(const char* name, std::string& symbol) {
  return Read<EnumFeature>(name, FeatureType::Enum,
                           [&](const EnumFeature& f) { symbol = f.value; });
}

bool SimCamera::ReadEnumSymbols(const char* name, std::vector<std::string>& symbols) {
  return Read<EnumFeature>(name, FeatureType::Enum,
                           [&](const EnumFeature& f) { symbols = f.entries; });
}

bool SimCamera::ReadString(const char* name, std::string& value) {
  return Read<StringFeature>(name, FeatureType::String,
                             [&](const StringFeature& f) { value = f.value; });
}

bool SimCamera::WriteInt(const char* name, int64_t value) {
  return Write<IntFeature>(name, FeatureType::Int, [&](IntFeature& f) {
    if (value < f.min || value > f.max) return false;
    if (f.inc > 0 && !OnIncrement(f, value)) return false;
    f.value = value;
    return true;
  });
}

bool SimCamera::WriteFloat(const char* name, double value) {
  return Write<FloatFeature>(name, FeatureType::Float, [&](FloatFeature& f) {
    if (!(value >= f.min && value <= f.max)) return false;  // NaN fails too
    f.value = value;
    return true;
  });
}

bool SimCamera::WriteBool(const char* name, bool value) {
  return Write<BoolFeature>(name, FeatureType::Bool, [&](BoolFeature& f) {
    f.value = value;
    return true;
  });
}

bool SimCamera::WriteEnum(const char* name, const std::string& symbol) {
  return Write<EnumFeature>(name, FeatureType::Enum, [&](EnumFeature& f) {
    for (const std::string& entry : f.entries) {
      if (entry != symbol) continue;
      f.value = entry;
      return true;
    }
    return false;
  });
}

bool SimCamera::WriteString(const char* name, const std::string& value) {
  return Write<StringFeature>(name, FeatureType::String, [&](StringFeature& f) {
    f.value = value;
    return true;
  });
}

bool SimCamera::Execute(const char* name) {
  const FeatureDef* def = FindFeature(name);
  std::lock_guard lock(TheSim().mutex);
  if (!def || def->type != FeatureType::Command || !Ready() || !FeaturePresent(config, *def))
    return false;
  if (def->name == "TriggerSoftware") TriggerCamera(*this, Timing::Source::Software);
  return true;
}

}  // namespace simsdk
