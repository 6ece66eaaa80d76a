// HXAlloc / HXFree and their checking variants.  Any thread; the source
// path and line of the checking variants are accepted but not kept.
#include "common/abi_barrier.h"
#include "host_state.h"

using namespace hostlayer;

namespace {

Herror Allocate(size_t size, bool checked, void** ptr) noexcept {
  return boundary::Barrier(kErrNoMemory, [&] {
    if (const Herror fault = detail::TakeFault(HostCall::Alloc)) return fault;
    return detail::CreateBlock(size, checked, ptr);
  });
}

Herror Free(void* ptr) noexcept {
  return boundary::Barrier(kErrNotHostBlock, [&] {
    if (const Herror fault = detail::TakeFault(HostCall::Free)) return fault;
    if (ptr == nullptr) return Herror{H_MSG_OK};  // like free(NULL)
    return detail::ReleaseBlock(ptr);
  });
}

}  // namespace

extern "C" {

HOST_API Herror HXAlloc(Hproc_handle, size_t size, void** ptr) {
  return Allocate(size, false, ptr);
}

HOST_API Herror HXAllocMemCheck(Hproc_handle, size_t size, const char*, int32_t, int32_t,
                                void** ptr) {
  return Allocate(size, true, ptr);
}

HOST_API Herror HXFree(Hproc_handle, void* ptr) {
  return Free(ptr);
}

HOST_API Herror HXFreeMemCheck(Hproc_handle, void* ptr, const char*, int32_t) {
  return Free(ptr);
}

}  // extern "C"
