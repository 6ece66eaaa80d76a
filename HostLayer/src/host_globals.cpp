// Host global variables: the exported flags, setting 64 behind
// HAccessGlVar, and the processor cache size.  Any thread.
#include <atomic>
#include <mutex>
#include <vector>

#include "common/abi_barrier.h"
#include "host_state.h"

using namespace hostlayer;

extern "C" {
HOST_API int32_t HTraceMemory = 0;
HOST_API int32_t HDoLowError = 0;
}

namespace {

constexpr int64_t kDefaultSetting64 = 1;
constexpr int64_t kDefaultCpuCache = 32;

std::mutex setting_lock;
int64_t setting64 = kDefaultSetting64;
std::vector<int64_t> setting64_writes;
std::atomic<int64_t> cpu_cache{kDefaultCpuCache};

}  // namespace

namespace hostlayer {

int64_t Setting64() {
  std::lock_guard lock(setting_lock);
  return setting64;
}

void SetSetting64(int64_t value) {
  std::lock_guard lock(setting_lock);
  setting64 = value;
}

std::vector<int64_t> Setting64Writes() {
  std::lock_guard lock(setting_lock);
  return setting64_writes;
}

void SetCpuCache(int64_t size) {
  cpu_cache.store(size);
}

// The flags are plain exported integers (the interface reads them
// directly); tests set them between calls, never during one.
void SetTraceMemory(bool on) {
  HTraceMemory = on ? 1 : 0;
}
void SetDoLowError(bool on) {
  HDoLowError = on ? 1 : 0;
}

namespace detail {
void ResetGlobals() {
  {
    std::lock_guard lock(setting_lock);
    setting64 = kDefaultSetting64;
    setting64_writes.clear();
  }
  cpu_cache.store(kDefaultCpuCache);
  SetTraceMemory(false);
  SetDoLowError(false);
}
}  // namespace detail
}  // namespace hostlayer

extern "C" {

HOST_API Herror HAccessGlVar(Hproc_handle, int32_t var, int32_t mode, int64_t* value, double dvalue,
                             char*, Hkey, int64_t) {
  return boundary::Barrier(kErrNoMemory, [&] {
    const bool read = mode == 1;
    if (const Herror fault = detail::TakeFault(read ? HostCall::GlVarRead : HostCall::GlVarWrite)) {
      return fault;
    }
    if (var != HGV_IMAGE_INIT || (mode != 0 && mode != 1)) return kErrUnknownVariable;
    if (read && value == nullptr) return kErrBadArgument;
    std::lock_guard lock(setting_lock);
    if (read) {
      *value = setting64;
    } else {
      setting64 = static_cast<int64_t>(dvalue);
      setting64_writes.push_back(setting64);
    }
    return Herror{H_MSG_OK};
  });
}

HOST_API int64_t HGVGet_CPUCache(int32_t level) {
  return level == 1 ? cpu_cache.load() : 0;
}

}  // extern "C"
