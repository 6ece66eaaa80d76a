#include "registration/camera_table.h"

#include <cstring>

#include "base/contract_texts.h"
#include "base/interface_state.h"
#include "base/text_copy.h"
#include "base/text_match.h"

CameraEntry* FindCameraEntry(const char* device) {
  if (gs_cameraCntDiscovery == 0) return nullptr;
  if (EqualsIgnoreCase(device, contract::kWordDefault) ||
      EqualsIgnoreCase(device, contract::kFirstDevice)) {
    return &camera_table[0];
  }
  for (uint32_t i = 0; i < gs_cameraCntDiscovery; ++i) {
    CameraEntry& entry = camera_table[i];
    if (EqualsIgnoreCase(device, entry.key)) return &entry;
    // A nameless camera is selected by its key only, never by "".
    if (entry.name[0] != '\0' && EqualsIgnoreCase(device, StripSpaces(entry.name).text)) {
      return &entry;
    }
  }
  return nullptr;
}

namespace {

const char* TextOrEmpty(const char* text) {
  return text != nullptr ? text : "";
}

}  // namespace

void FillCameraTable(GENICAM_Camera* cameras, uint32_t count) {
  const uint32_t held = cameras == nullptr ? 0 : (count < kMaxCameras ? count : kMaxCameras);
  for (uint32_t i = 0; i < held; ++i) {
    CameraEntry& entry = camera_table[i];
    GENICAM_Camera* camera = &cameras[i];
    // An empty name leaves the field all zero; only the key can select it.
    CopyText(entry.name, TextOrEmpty(camera->getName(camera)));
    CopyText(entry.key, StripSpaces(camera->getKey(camera)).text);
    entry.camera = camera;
  }
  gs_cameraCntDiscovery = held;
}

void ClearCameraTable() {
  for (CameraEntry& entry : camera_table) {
    std::memset(entry.name, 0, sizeof entry.name);
    std::memset(entry.key, 0, sizeof entry.key);
    entry.camera = nullptr;
    entry.users = 0;
  }
  gs_cameraCntDiscovery = 0;
}
