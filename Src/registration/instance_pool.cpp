#include "registration/instance_pool.h"

#include <cstring>
#include <mutex>

#include "base/interface_state.h"

void ResetInstancePool() {
  for (int32_t k = 0; k < kMaxInstances; ++k) {
    std::memset(&inst_pool[k], 0, sizeof inst_pool[k]);
    inst_pool[k].pool_index = k;
  }
  open_count = 0;
}

FGInstance** HandOutRecord(FGInstance& fginst) {
  std::lock_guard<std::mutex> lock(device_lock);
  if (fg_class == nullptr || open_count >= kMaxInstances) return nullptr;
  for (int32_t k = 0; k < kMaxInstances; ++k) {
    if (inst_pool[k].board != nullptr) continue;
    fginst.inst_data = &inst_pool[k];
    return &fg_class->instance[k];
  }
  return nullptr;
}
