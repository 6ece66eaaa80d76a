// Host image objects.  HNewImage pixels are a host block (released by the
// driver when the delivered Image is dropped); HNewImagePtr wraps caller
// memory, or copies it into a host block when asked to.
#include <cstring>

#include "common/abi_barrier.h"
#include "host_state.h"

using namespace hostlayer;

namespace {

// Byte count of a byte image, or 0 when the request is not one we serve.
size_t ByteImageSize(int32_t kind, int32_t width, int32_t height) {
  if (kind != HIMAGE_BYTE || width <= 0 || height <= 0) return 0;
  return static_cast<size_t>(width) * static_cast<size_t>(height);
}

void Describe(Himage* image, int32_t kind, int32_t width, int32_t height, void* pixels,
              bool host_owned) {
  image->kind = kind;
  image->width = width;
  image->height = height;
  image->pixel.p = pixels;
  image->host_owned = host_owned ? 1 : 0;
}

}  // namespace

extern "C" {

HOST_API Herror HNewImage(Hproc_handle, Himage* image, int32_t kind, int32_t width,
                          int32_t height) {
  return boundary::Barrier(kErrNoMemory, [&] {
    if (const Herror fault = detail::TakeFault(HostCall::NewImage)) return fault;
    const size_t size = ByteImageSize(kind, width, height);
    if (image == nullptr || size == 0) return kErrBadArgument;
    void* pixels = nullptr;
    const Herror status = detail::CreateBlock(size, false, &pixels);
    if (status != H_MSG_OK) return status;
    Describe(image, kind, width, height, pixels, true);
    return Herror{H_MSG_OK};
  });
}

HOST_API Herror HNewImagePtr(Hproc_handle, Himage* image, int32_t kind, int32_t width,
                             int32_t height, void* data, int32_t copy) {
  return boundary::Barrier(kErrNoMemory, [&] {
    if (const Herror fault = detail::TakeFault(HostCall::NewImagePtr)) return fault;
    const size_t size = ByteImageSize(kind, width, height);
    if (image == nullptr || data == nullptr || size == 0) return kErrBadArgument;
    if (copy == 0) {
      Describe(image, kind, width, height, data, false);
      return Herror{H_MSG_OK};
    }
    void* pixels = nullptr;
    const Herror status = detail::CreateBlock(size, false, &pixels);
    if (status != H_MSG_OK) return status;
    std::memcpy(pixels, data, size);
    Describe(image, kind, width, height, pixels, true);
    return Herror{H_MSG_OK};
  });
}

}  // extern "C"
