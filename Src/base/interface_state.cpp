#include "base/interface_state.h"

uint32_t gs_cameraCntDiscovery = 0;
CameraEntry camera_table[kMaxCameras];
InstanceRecord inst_pool[kMaxInstances];
int32_t open_count = 0;
FGClass* fg_class = nullptr;
std::mutex device_lock;
std::atomic<int32_t> stop_after_grab{0};
std::atomic<int32_t> async_grab_used{0};
std::atomic<bool> pixel_format_set_last{false};
