// Camera sets from JSON (format in Tools/USAGE.md).
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
// A camera starts from the built-in monochrome camera's features, vendor
// and model, with its key as name and serial; each member given replaces
// that one field.  Anything a camera could not work with is an error: see
// camera_checks.h and the checks here.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <set>

#include "camera_checks.h"
#include "feature_table.h"
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
  if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
    // The library would wrap a number the type cannot hold.
    constexpr auto kMax = static_cast<uint64_t>(std::numeric_limits<T>::max());
    if (it->is_number_unsigned() && it->template get<uint64_t>() > kMax)
      Fail(where, std::string("\"") + member + "\" is above " + std::to_string(kMax));
  }
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

CameraConfig ReadCamera(const json& node, const CameraConfig& base, const std::string& where) {
  CheckMembers(node, where,
               {"key", "name", "vendor", "model", "serial", "max_frame_rate", "buffer_count",
                "padding_x", "padding_y", "features"});
  CameraConfig camera = base;
  if (!node.contains("key")) Fail(where, "\"key\" is required");
  Read(node, "key", where, camera.key);
  camera.name = camera.serial = camera.key;
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
      ReadFeature(item.value(), *def, camera, where + ", feature " + item.key());
    }
  }
  if (const std::string problem = CameraProblem(camera); !problem.empty()) Fail(where, problem);
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
  const CameraConfig base = DefaultCameras().front();
  std::vector<CameraConfig> cameras;
  std::set<std::string> keys;
  for (size_t i = 0; i < list->size(); ++i) {
    const std::string where = "camera " + std::to_string(i);
    cameras.push_back(ReadCamera((*list)[i], base, where));
    if (!keys.insert(KeyFolded(cameras.back().key)).second)
      Fail(where, "duplicate key \"" + cameras.back().key + "\" (keys match ignoring case)");
  }
  return cameras;
}

// JSON that keeps a repeated member in an object would silently drop all
// but one of them.
json ParseStrict(const std::string& text) {
  std::vector<std::set<std::string>> members;  // of each object being read
  const json::parser_callback_t callback = [&members](int, json::parse_event_t event,
                                                      json& parsed) {
    if (event == json::parse_event_t::object_start) {
      members.emplace_back();
    } else if (event == json::parse_event_t::object_end) {
      members.pop_back();
    } else if (event == json::parse_event_t::key &&
               !members.back().insert(parsed.get<std::string>()).second) {
      throw ConfigError{"member \"" + parsed.get<std::string>() + "\" appears twice in one object"};
    }
    return true;
  };
  return json::parse(text, callback);
}

}  // namespace

std::optional<std::vector<CameraConfig>> ParseCameras(const std::string& json_text,
                                                      std::string* error) {
  try {
    return ReadCameras(ParseStrict(json_text));
  } catch (const ConfigError& e) {
    if (error) *error = e.message;
  } catch (const json::parse_error& e) {
    // what() starts with the library's "[json.exception.parse_error.N] ".
    const std::string what = e.what();
    if (error) *error = what.substr(what.find("] ") == std::string::npos ? 0 : what.find("] ") + 2);
  } catch (const std::exception& e) {
    if (error) *error = e.what();
  }
  return std::nullopt;
}

std::optional<std::vector<CameraConfig>> ReadCameraFile(const std::string& path,
                                                        std::string* error) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) {
    if (error) *error = std::string("cannot open: ") + std::strerror(errno);
    return std::nullopt;
  }
  std::string text;
  char chunk[4096];
  size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  const int read_errno = errno;
  std::fclose(file);
  if (failed) {
    if (error) *error = std::string("cannot read: ") + std::strerror(read_errno);
    return std::nullopt;
  }
  return ParseCameras(text, error);
}

std::vector<CameraConfig> StartSet() {
  const char* path = std::getenv("TERVIXMD_SIM_CONFIG");
  if (!path || !*path) return DefaultCameras();
  std::string error;
  if (auto cameras = ReadCameraFile(path, &error)) return *cameras;
  std::fprintf(stderr, "Tervixmd: camera file %s: %s; no cameras\n", path, error.c_str());
  return {};
}

}  // namespace simsdk
