// The host's memory accounting.  Blocks are tracked in a registry rather
// than by a header in front of the block, so that freeing a foreign or
// already freed pointer is detected without reading memory we do not own.
#include <cstdlib>
#include <mutex>
#include <unordered_map>

#include "host_state.h"

namespace hostlayer {
namespace {

std::mutex block_lock;
std::unordered_map<void*, size_t> live_blocks;
int64_t live_bytes = 0;
int64_t created = 0;
int64_t created_checked = 0;

}  // namespace

MemoryStats Memory() {
  std::lock_guard lock(block_lock);
  MemoryStats stats;
  stats.live_blocks = static_cast<int64_t>(live_blocks.size());
  stats.live_bytes = live_bytes;
  stats.allocations = created;
  stats.checked_allocations = created_checked;
  return stats;
}

namespace detail {

Herror CreateBlock(size_t size, bool checked, void** out) {
  if (out == nullptr) return kErrBadArgument;
  // A zero-byte request still gets a distinct block, as malloc(1) would.
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) return kErrNoMemory;
  try {
    std::lock_guard lock(block_lock);
    live_blocks.emplace(block, size);
    live_bytes += static_cast<int64_t>(size);
    ++created;
    if (checked) ++created_checked;
  } catch (...) {
    std::free(block);
    return kErrNoMemory;
  }
  *out = block;
  return H_MSG_OK;
}

Herror ReleaseBlock(void* ptr) {
  {
    std::lock_guard lock(block_lock);
    const auto found = live_blocks.find(ptr);
    if (found == live_blocks.end()) return kErrNotHostBlock;
    live_bytes -= static_cast<int64_t>(found->second);
    live_blocks.erase(found);
  }
  std::free(ptr);
  return H_MSG_OK;
}

void ResetBlockCounters() {
  std::lock_guard lock(block_lock);
  created = 0;
  created_checked = 0;
}

}  // namespace detail
}  // namespace hostlayer
