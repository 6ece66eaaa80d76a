#include "camera_checks.h"

#include <algorithm>
#include <cstdio>
#include <type_traits>

#include "feature_table.h"
#include "frame_plan.h"

namespace simsdk {
namespace {

// The interface strips spaces from keys and holds at most this many
// characters of a device string.
constexpr size_t kMaxKeyLength = 1023;

std::string Quoted(const std::string& text) {
  return "\"" + text + "\"";
}

std::string KeyProblem(const std::string& key) {
  if (key.empty()) return "\"key\" is blank";
  if (key.size() > kMaxKeyLength)
    return "\"key\" is longer than " + std::to_string(kMaxKeyLength) + " characters";
  for (const char c : key)
    if (c <= ' ' || c > '~')
      return "\"key\" " + Quoted(key) +
             " has a character a device string cannot carry (printable ASCII without spaces)";
  return "";
}

template <typename Number>
std::string Text(Number n) {
  if constexpr (std::is_integral_v<Number>) {
    return std::to_string(n);
  } else {
    char text[32];
    std::snprintf(text, sizeof text, "%g", n);
    return text;
  }
}

template <typename Number>
std::string RangeProblem(const std::string& name, Number value, Number min, Number max) {
  if (min > max) return name + ": \"min\" " + Text(min) + " is above \"max\" " + Text(max);
  if (value < min || value > max)
    return name + ": \"value\" " + Text(value) + " is outside " + Text(min) + ".." + Text(max);
  return "";
}

std::string FeatureProblem(CameraConfig& camera, const FeatureDef& def) {
  const std::string name(def.name);
  switch (def.type) {
    case FeatureType::Int: {
      const auto& f = FeatureRecord<IntFeature>(camera, def);
      if (f.inc < 1) return name + ": \"inc\" must be at least 1";
      if (auto problem = RangeProblem(name, f.value, f.min, f.max); !problem.empty())
        return problem;
      if (!OnIncrement(f, f.value))
        return name + ": \"value\" " + Text(f.value) + " is not \"min\" plus a multiple of " +
               Text(f.inc);
      return "";
    }
    case FeatureType::Float: {
      const auto& f = FeatureRecord<FloatFeature>(camera, def);
      return RangeProblem(name, f.value, f.min, f.max);
    }
    case FeatureType::Enum: {
      const auto& f = FeatureRecord<EnumFeature>(camera, def);
      if (f.entries.empty()) return name + ": \"entries\" is empty";
      if (std::find(f.entries.begin(), f.entries.end(), f.value) == f.entries.end())
        return name + ": \"value\" " + Quoted(f.value) + " is not among \"entries\"";
      return "";
    }
    default:
      return "";
  }
}

std::string PixelFormatProblem(const CameraConfig& camera) {
  for (const std::string& name : camera.pixel_format.entries)
    if (!pixvane::FindPixelFormat(name)) return "PixelFormat: unknown pixel format " + Quoted(name);
  return "";
}

// After PixelFormatProblem: every entry is a known format.
std::string FrameProblem(const CameraConfig& camera) {
  if (camera.width.min < 1) return "Width: \"min\" must be at least 1";
  if (camera.height.min < 1) return "Height: \"min\" must be at least 1";
  for (const std::string& name : camera.pixel_format.entries) {
    const pixvane::PixelFormatInfo* format = pixvane::FindPixelFormat(name);
    FrameLayout largest = LayoutOf(camera);
    largest.pixel_format = name;
    largest.width = largest.sensor_width;
    largest.height = largest.sensor_height;
    if (FrameBytes(largest, *format) == 0)
      return "a " + std::to_string(largest.width) + " x " + std::to_string(largest.height) + " " +
             name + " frame does not fit in 4 GiB";
  }
  return "";
}

}  // namespace

std::string CameraProblem(CameraConfig& camera) {
  if (auto problem = KeyProblem(camera.key); !problem.empty()) return problem;
  if (auto problem = PixelFormatProblem(camera); !problem.empty()) return problem;
  for (const FeatureDef* def = FeaturesBegin(); def != FeaturesEnd(); ++def)
    if (auto problem = FeatureProblem(camera, *def); !problem.empty()) return problem;
  return FrameProblem(camera);
}

std::string KeyFolded(const std::string& key) {
  std::string folded = key;
  for (char& c : folded)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return folded;
}

}  // namespace simsdk
