#include "camera_table.h"

#include <cstring>

#include "interface_state.h"
#include "text_copy.h"

StrippedText StripSpaces(const char* text) {
  StrippedText out{};
  if (text == nullptr) return out;
  size_t n = 0;
  for (const char* p = text; *p != '\0' && n < sizeof out.text - 1; ++p) {
    if (*p != ' ') out.text[n++] = *p;
  }
  out.text[n] = '\0';
  return out;
}

bool EqualsIgnoreCase(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return false;
  for (;; ++a, ++b) {
    unsigned char ca = static_cast<unsigned char>(*a);
    unsigned char cb = static_cast<unsigned char>(*b);
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca - 'A' + 'a');
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb - 'A' + 'a');
    if (ca != cb) return false;
    if (ca == '\0') return true;
  }
}

CameraEntry* FindCameraEntry(const FGInstance* fginst) {
  if (fginst == nullptr || gs_cameraCntDiscovery == 0) return nullptr;
  const char* device = fginst->device;
  if (EqualsIgnoreCase(device, "default") || EqualsIgnoreCase(device, "0")) {
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

const char* TextOrEmpty(const char* text) { return text != nullptr ? text : ""; }

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
