#include "camera_listing.h"

#include <cstring>

#include "exports.h"
#include "value_typing.h"

namespace {

using DiscoveryProc = int32_t (*)(char* keys, uint32_t* count);
using IdentityProc = const char* (*)(const char* key);

// discovery_camera writes one key slot per camera and takes no capacity, so
// the buffer is sized for more cameras than a system is expected to have.
constexpr uint32_t kListCapacity = 256;

std::string Identity(const hostlayer::Driver& driver, const char* export_name,
                     const std::string& key) {
  auto getter = reinterpret_cast<IdentityProc>(driver.Symbol(export_name));
  if (getter == nullptr) return "";
  const char* text = getter(key.c_str());
  return text == nullptr ? "" : std::string(text);
}

}  // namespace

bool ListCameras(const hostlayer::Driver& driver, std::vector<CameraIdentity>* cameras,
                 std::string* error) {
  auto discovery = reinterpret_cast<DiscoveryProc>(driver.Symbol("discovery_camera"));
  if (discovery == nullptr) {
    *error = "the interface has no discovery_camera export";
    return false;
  }
  std::vector<char> keys(size_t{kListCapacity} * HACQ_KEY_SLOT, '\0');
  uint32_t count = 0;
  if (discovery(keys.data(), &count) != 0) {
    *error = "camera discovery failed";
    return false;
  }
  if (count > kListCapacity) {
    *error = "discovery found " + std::to_string(count) + " cameras; hacq lists at most " +
             std::to_string(kListCapacity);
    return false;
  }
  cameras->clear();
  for (uint32_t i = 0; i < count; ++i) {
    const char* slot = keys.data() + size_t{i} * HACQ_KEY_SLOT;
    CameraIdentity camera;
    camera.key.assign(slot, strnlen(slot, HACQ_KEY_SLOT));
    camera.name = Identity(driver, "getName", camera.key);
    camera.model = Identity(driver, "getModelName", camera.key);
    camera.serial = Identity(driver, "getSerialNumber", camera.key);
    camera.vendor = Identity(driver, "getVendorName", camera.key);
    cameras->push_back(camera);
  }
  return true;
}

std::string CameraKeyFor(const hostlayer::Driver& driver, const std::string& device) {
  std::vector<CameraIdentity> cameras;
  std::string error;
  if (!ListCameras(driver, &cameras, &error) || cameras.empty()) return "";
  if (EqualsIgnoringCase(device, "default") || EqualsIgnoringCase(device, "0")) {
    return cameras.front().key;
  }
  for (const auto& camera : cameras) {
    std::string name_without_spaces = camera.name;
    std::erase(name_without_spaces, ' ');
    if (EqualsIgnoringCase(device, camera.key) ||
        (!camera.name.empty() && EqualsIgnoringCase(device, name_without_spaces))) {
      return camera.key;
    }
  }
  return "";
}
