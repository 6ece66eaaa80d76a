#include "interface_state.h"

#include <cstring>

PlatformLibrary sdk_module = nullptr;
GENICAM_Camera* camera_list = nullptr;
uint32_t gs_cameraCntDiscovery = 0;
CameraEntry camera_table[kMaxCameras];
InstanceRecord inst_pool[kMaxInstances];
int32_t open_count = 0;
FGClass* fg_class = nullptr;
std::mutex device_lock;
std::atomic<int32_t> stop_after_grab{0};
std::atomic<int32_t> async_grab_used{0};
LastSetParam last_set_param;

void LastSetParam::Set(const char* name) {
  std::lock_guard<std::mutex> guard(lock_);
  std::memset(text_, 0, sizeof text_);
  if (name == nullptr) return;
  std::strncpy(text_, name, kCapacity - 1);
}

bool LastSetParam::Equals(const char* name) const {
  std::lock_guard<std::mutex> guard(lock_);
  return name != nullptr && std::strcmp(text_, name) == 0;
}

void LastSetParam::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  std::memset(text_, 0, sizeof text_);
}
