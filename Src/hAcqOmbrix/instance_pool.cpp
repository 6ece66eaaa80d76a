#include "instance_pool.h"

#include <cstring>
#include <mutex>

#include "interface_state.h"
#include "operations.h"

void ResetInstancePool() {
  for (int32_t k = 0; k < kMaxInstances; ++k) {
    std::memset(&inst_pool[k], 0, sizeof inst_pool[k]);
    inst_pool[k].pool_index = k;
  }
  open_count = 0;
}

// Handing a record out marks nothing: it counts as taken once FGOpen gives
// it a board, so a request whose open fails leaves it free.
FGInstance** FGOpenRequest(Hproc_handle, FGInstance* fginst) noexcept {
  if (fginst == nullptr) return nullptr;
  std::lock_guard<std::mutex> lock(device_lock);
  if (fg_class == nullptr || open_count >= kMaxInstances) return nullptr;
  for (int32_t k = 0; k < kMaxInstances; ++k) {
    if (inst_pool[k].board != nullptr) continue;
    fginst->inst_data = &inst_pool[k];
    return &fg_class->instance[k];
  }
  return nullptr;
}
