// The library's C entry points: check the arguments, pick the kernel table
// once, convert, and keep every exception inside.
#include <new>

#include "conversion.h"
#include "frame_conversion.h"
#include "frame_geometry.h"

namespace pixvane {
namespace {

int32_t Convert(const uint8_t* src, const ConversionInfo* info, uint8_t* dst, int32_t* out_len,
                Output out) noexcept {
  if (out_len != nullptr) *out_len = 0;
  if (dst == nullptr || out_len == nullptr) return kConvertNullArgument;
  const uint32_t channels = out == Output::Mono8 ? 1 : 3;
  Frame frame{};
  if (const ConvertStatus status = DescribeFrame(src, info, channels, frame); status != kConvertOk)
    return status;
  try {
    ConvertFrame(frame, out, ActiveKernels(), dst);
  } catch (const std::bad_alloc&) {
    return kConvertOutOfMemory;
  } catch (...) {
    return kConvertInternalError;
  }
  *out_len = static_cast<int32_t>(uint64_t{frame.width} * frame.height * channels);
  return kConvertOk;
}

}  // namespace
}  // namespace pixvane

extern "C" {

PIXVANE_API int32_t PXVANE_ConvertToMono8(const uint8_t* src, const ConversionInfo* info,
                                          uint8_t* dst, int32_t* out_len) {
  return pixvane::Convert(src, info, dst, out_len, pixvane::Output::Mono8);
}

PIXVANE_API int32_t PXVANE_ConvertToBGR24(const uint8_t* src, const ConversionInfo* info,
                                          uint8_t* dst, int32_t* out_len) {
  return pixvane::Convert(src, info, dst, out_len, pixvane::Output::Bgr24);
}

}  // extern "C"
