// The camera-listing exports.  Any program may call them from any thread,
// with or without the host; they keep a camera list of their own, guarded
// by its own lock, and never touch the host's camera table.
#include <cstring>
#include <mutex>

#include "base/text_match.h"
#include "common/abi_barrier.h"
#include "registration/exports.h"
#include "registration/sdk_binding.h"

namespace {

std::mutex export_lock;
GENICAM_Camera* export_camera_list = nullptr;  // owned by the SDK
uint32_t export_camera_count = 0;

using CameraText = const char* (*GENICAM_Camera::*)(GENICAM_Camera*);

int32_t Discover(char* keys, uint32_t* count) {
  const GENICAM_getSystemInstance_fn get_system = BindSdk().getSystemInstance;
  if (keys == nullptr || count == nullptr || get_system == nullptr) return -1;
  GENICAM_System* system = nullptr;
  if (get_system(&system) == SDK_FAIL || system == nullptr) return -1;

  std::lock_guard<std::mutex> lock(export_lock);
  export_camera_list = nullptr;
  export_camera_count = 0;
  GENICAM_Camera* cameras = nullptr;
  uint32_t found = 0;
  if (system->discovery(system, &cameras, &found, SDK_DISCOVERY_ALL) == SDK_FAIL) return -1;
  if (cameras == nullptr) found = 0;
  export_camera_list = cameras;
  export_camera_count = found;
  for (uint32_t i = 0; i < found; ++i) {
    // At most 1023 characters and the NUL: always inside the slot.
    const StrippedText key = StripSpaces(cameras[i].getKey(&cameras[i]));
    std::memcpy(keys + static_cast<size_t>(i) * HACQ_KEY_SLOT, key.text, std::strlen(key.text) + 1);
  }
  *count = found;
  return 0;
}

const char* Lookup(const char* key, CameraText text) {
  if (key == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(export_lock);
  for (uint32_t i = 0; i < export_camera_count; ++i) {
    GENICAM_Camera* camera = &export_camera_list[i];
    if (std::strcmp(StripSpaces(camera->getKey(camera)).text, key) == 0) {
      return (camera->*text)(camera);
    }
  }
  return nullptr;
}

const char* LookupNoThrow(const char* key, CameraText text) noexcept {
  return boundary::Barrier(static_cast<const char*>(nullptr), [&] { return Lookup(key, text); });
}

}  // namespace

extern "C" HACQ_EXPORT int32_t discovery_camera(char* keys, uint32_t* count) noexcept {
  return boundary::Barrier(-1, [&] { return Discover(keys, count); });
}
extern "C" HACQ_EXPORT const char* getKey(const char* key) noexcept {
  return LookupNoThrow(key, &GENICAM_Camera::getKey);
}
extern "C" HACQ_EXPORT const char* getModelName(const char* key) noexcept {
  return LookupNoThrow(key, &GENICAM_Camera::getModelName);
}
extern "C" HACQ_EXPORT const char* getName(const char* key) noexcept {
  return LookupNoThrow(key, &GENICAM_Camera::getName);
}
extern "C" HACQ_EXPORT const char* getSerialNumber(const char* key) noexcept {
  return LookupNoThrow(key, &GENICAM_Camera::getSerialNumber);
}
extern "C" HACQ_EXPORT const char* getVendorName(const char* key) noexcept {
  return LookupNoThrow(key, &GENICAM_Camera::getVendorName);
}
