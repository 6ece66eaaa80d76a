// Host mutexes: real std::mutex objects behind the pointer-sized handle.
// Misuse that would be undefined for std::mutex (unknown handle, unlock by
// a thread that does not hold it, relock by the holder, destroying a held
// mutex) is answered with kErrMutexState instead.
#include <atomic>
#include <memory>
#include <mutex>
#include <thread>
#include <unordered_set>

#include "common/abi_barrier.h"
#include "host_state.h"

using namespace hostlayer;

namespace {

struct HostMutex {
  std::mutex mutex;
  std::atomic<std::thread::id> holder{};
};

std::mutex registry_lock;
std::unordered_set<HostMutex*> live_mutexes;

HostMutex* Find(Hmutex* handle) {
  if (handle == nullptr || *handle == nullptr) return nullptr;
  auto* candidate = static_cast<HostMutex*>(*handle);
  std::lock_guard lock(registry_lock);
  return live_mutexes.count(candidate) != 0 ? candidate : nullptr;
}

}  // namespace

namespace hostlayer {
int64_t LiveMutexes() {
  std::lock_guard lock(registry_lock);
  return static_cast<int64_t>(live_mutexes.size());
}
}  // namespace hostlayer

extern "C" {

HOST_API Herror HpThreadMutexInit(Hmutex* handle) {
  return boundary::Barrier(kErrNoMemory, [&] {
    if (const Herror fault = detail::TakeFault(HostCall::MutexInit)) return fault;
    if (handle == nullptr) return kErrBadArgument;
    auto created = std::make_unique<HostMutex>();
    {
      std::lock_guard lock(registry_lock);
      live_mutexes.insert(created.get());
    }
    *handle = created.release();
    return Herror{H_MSG_OK};
  });
}

HOST_API Herror HpThreadMutexLock(Hmutex* handle) {
  return boundary::Barrier(kErrMutexState, [&] {
    if (const Herror fault = detail::TakeFault(HostCall::MutexLock)) return fault;
    HostMutex* mutex = Find(handle);
    if (mutex == nullptr || mutex->holder.load() == std::this_thread::get_id()) {
      return kErrMutexState;
    }
    mutex->mutex.lock();
    mutex->holder.store(std::this_thread::get_id());
    return Herror{H_MSG_OK};
  });
}

HOST_API Herror HpThreadMutexUnlock(Hmutex* handle) {
  return boundary::Barrier(kErrMutexState, [&] {
    if (const Herror fault = detail::TakeFault(HostCall::MutexUnlock)) return fault;
    HostMutex* mutex = Find(handle);
    if (mutex == nullptr || mutex->holder.load() != std::this_thread::get_id()) {
      return kErrMutexState;
    }
    mutex->holder.store(std::thread::id{});
    mutex->mutex.unlock();
    return Herror{H_MSG_OK};
  });
}

HOST_API Herror HpThreadMutexDestroy(Hmutex* handle) {
  return boundary::Barrier(kErrMutexState, [&] {
    if (const Herror fault = detail::TakeFault(HostCall::MutexDestroy)) return fault;
    HostMutex* mutex = Find(handle);
    // The holder may not destroy it either: try_lock by the holder is undefined.
    if (mutex == nullptr || mutex->holder.load() == std::this_thread::get_id() ||
        !mutex->mutex.try_lock()) {
      return kErrMutexState;
    }
    mutex->mutex.unlock();
    {
      std::lock_guard lock(registry_lock);
      live_mutexes.erase(mutex);
    }
    delete mutex;
    *handle = nullptr;
    return Herror{H_MSG_OK};
  });
}

}  // extern "C"
