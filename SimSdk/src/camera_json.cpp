// Camera sets from JSON.
//
// The text is a list of cameras, or an object whose "cameras" member is one:
//
//   {"cameras": [{
//      "key": "CAM-1", "name": "Line Cam", "vendor": "V", "model": "M",
//      "serial": "S1",                 // identity; only "key" is required
//      "max_frame_rate": 30,           // 0 = unlimited
//      "buffer_count": 4, "padding_x": 0, "padding_y": 0,
//      "features": {
//        "Width": {"value": 640, "min": 16, "max": 2448, "inc": 16},
//        "ExposureTime": {"value": 5000, "min": 20, "max": 1e6},
//        "ReverseX": {"value": true},
//        "PixelFormat": {"value": "Mono8", "entries": ["Mono8", "Mono12"]},
//        "DeviceUserID": {"value": "left"},
//        "ContrastMode": {"present": false}
//      }}]}
//
// A camera starts from the built-in monochrome camera's features and
// settings; each member given replaces that one field.  Unknown members,
// unknown feature names, wrong types, duplicate keys, pixel formats the
// SDK cannot render and a buffer count of 0 are errors.
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "feature_table.h"
#include "pixvane/pixel_formats.h"
#include "sim_loader.h"

namespace simsdk {
namespace {

using nlohmann::json;

// Reading fails by throwing ConfigError with a message naming the place.
struct ConfigError {
  std::string message;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
  throw ConfigError{where + ": " + what};
}

void CheckMembers(const json& object, const std::string& where,
                  std::initializer_list<std::string_view> allowed) {
  if (!object.is_object()) Fail(where, "expected an object");
  for (const auto& item : object.items()) {
    bool known = false;
    for (std::string_view name : allowed) known = known || item.key() == name;
    if (!known) Fail(where, "unknown member \"" + item.key() + "\"");
  }
}

template <typename T>
void Read(const json& object, const char* member, const std::string& where, T& out) {
  const auto it = object.find(member);
  if (it == object.end()) return;
  const bool type_ok = [&] {
    if constexpr (std::is_same_v<T, bool>)
      return it->is_boolean();
    else if constexpr (std::is_same_v<T, std::string>)
      return it->is_string();
    else if constexpr (std::is_floating_point_v<T>)
      return it->is_number();
    else if constexpr (std::is_unsigned_v<T>)
      return it->is_number_unsigned();
    else
      return it->is_number_integer();
  }();
  if (!type_ok) Fail(where, std::string("wrong type for \"") + member + "\"");
  out = it->get<T>();
}

void ReadFeature(const json& node, const FeatureDef& def, CameraConfig& camera,
                 const std::string& where) {
  switch (def.type) {
    case FeatureType::Int: {
      auto& f = FeatureRecord<IntFeature>(camera, def);
      CheckMembers(node, where, {"value", "min", "max", "inc", "present"});
      Read(node, "value", where, f.value);
      Read(node, "min", where, f.min);
      Read(node, "max", where, f.max);
      Read(node, "inc", where, f.inc);
      Read(node, "present", where, f.present);
      if (f.inc <= 0) Fail(where, "\"inc\" must be positive");
      return;
    }
    case FeatureType::Float: {
      auto& f = FeatureRecord<FloatFeature>(camera, def);
      CheckMembers(node, where, {"value", "min", "max", "present"});
      Read(node, "value", where, f.value);
      Read(node, "min", where, f.min);
      Read(node, "max", where, f.max);
      Read(node, "present", where, f.present);
      return;
    }
    case FeatureType::Bool: {
      auto& f = FeatureRecord<BoolFeature>(camera, def);
      CheckMembers(node, where, {"value", "present"});
      Read(node, "value", where, f.value);
      Read(node, "present", where, f.present);
      return;
    }
    case FeatureType::Enum: {
      auto& f = FeatureRecord<EnumFeature>(camera, def);
      CheckMembers(node, where, {"value", "entries", "present"});
      Read(node, "value", where, f.value);
      Read(node, "present", where, f.present);
      if (const auto it = node.find("entries"); it != node.end()) {
        if (!it->is_array()) Fail(where, "\"entries\" must be a list of texts");
        f.entries.clear();
        for (const json& entry : *it) {
          if (!entry.is_string()) Fail(where, "\"entries\" must be a list of texts");
          f.entries.push_back(entry.get<std::string>());
        }
      }
      return;
    }
    case FeatureType::String: {
      auto& f = FeatureRecord<StringFeature>(camera, def);
      CheckMembers(node, where, {"value", "present"});
      Read(node, "value", where, f.value);
      Read(node, "present", where, f.present);
      return;
    }
    case FeatureType::Command: {
      CheckMembers(node, where, {"present"});
      Read(node, "present", where, FeatureRecord<CommandFeature>(camera, def).present);
      return;
    }
  }
}

void CheckPixelFormats(const CameraConfig& camera, const std::string& where) {
  for (const std::string& name : camera.pixel_format.entries)
    if (!pixvane::FindPixelFormat(name)) Fail(where, "unknown pixel format \"" + name + "\"");
  if (camera.pixel_format.present && !pixvane::FindPixelFormat(camera.pixel_format.value))
    Fail(where, "unknown pixel format \"" + camera.pixel_format.value + "\"");
}

CameraConfig ReadCamera(const json& node, const CameraConfig& base, const std::string& where) {
  CheckMembers(node, where,
               {"key", "name", "vendor", "model", "serial", "max_frame_rate", "buffer_count",
                "padding_x", "padding_y", "features"});
  CameraConfig camera = base;
  if (!node.contains("key")) Fail(where, "\"key\" is required");
  Read(node, "key", where, camera.key);
  Read(node, "name", where, camera.name);
  Read(node, "vendor", where, camera.vendor);
  Read(node, "model", where, camera.model);
  Read(node, "serial", where, camera.serial);
  Read(node, "max_frame_rate", where, camera.max_frame_rate);
  Read(node, "buffer_count", where, camera.buffer_count);
  Read(node, "padding_x", where, camera.padding_x);
  Read(node, "padding_y", where, camera.padding_y);
  if (camera.buffer_count == 0) Fail(where, "\"buffer_count\" must be at least 1");
  if (camera.max_frame_rate < 0) Fail(where, "\"max_frame_rate\" must not be negative");
  if (const auto it = node.find("features"); it != node.end()) {
    if (!it->is_object()) Fail(where, "\"features\" must be an object");
    for (const auto& item : it->items()) {
      const FeatureDef* def = FindFeature(item.key());
      if (!def) Fail(where, "unknown feature \"" + item.key() + "\"");
      ReadFeature(item.value(), *def, camera, where + "." + item.key());
    }
  }
  CheckPixelFormats(camera, where);
  return camera;
}

std::vector<CameraConfig> ReadCameras(const json& root) {
  const json* list = &root;
  if (root.is_object()) {
    CheckMembers(root, "top level", {"cameras"});
    const auto it = root.find("cameras");
    if (it == root.end()) Fail("top level", "\"cameras\" is required");
    list = &*it;
  }
  if (!list->is_array()) Fail("top level", "expected a list of cameras");
  const CameraConfig base = [] {
    CameraConfig c = DefaultCameras().front();
    c.key = c.name = c.vendor = c.model = c.serial = "";
    return c;
  }();
  std::vector<CameraConfig> cameras;
  std::set<std::string> keys;
  for (size_t i = 0; i < list->size(); ++i) {
    const std::string where = "camera " + std::to_string(i);
    cameras.push_back(ReadCamera((*list)[i], base, where));
    if (!keys.insert(cameras.back().key).second)
      Fail(where, "duplicate key \"" + cameras.back().key + "\"");
  }
  return cameras;
}

}  // namespace

std::optional<std::vector<CameraConfig>> ParseCameras(const std::string& json_text,
                                                      std::string* error) {
  try {
    return ReadCameras(json::parse(json_text));
  } catch (const ConfigError& e) {
    if (error) *error = e.message;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
  }
  return std::nullopt;
}

std::optional<std::vector<CameraConfig>> ReadCameraFile(const std::string& path,
                                                        std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    if (error) *error = "cannot read " + path;
    return std::nullopt;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ParseCameras(text.str(), error);
}

std::vector<CameraConfig> StartSet() {
  if (const char* path = std::getenv("TERVIXMD_SIM_CONFIG"); path && *path) {
    if (auto cameras = ReadCameraFile(path, nullptr)) return *cameras;
  }
  return DefaultCameras();
}

}  // namespace simsdk
