// The library's C entry points: check the arguments, pick the kernel table
// once, convert, and keep every exception inside.
#include "common/abi_barrier.h"
#include "conversion.h"
#include "frame_conversion.h"
#include "frame_geometry.h"

namespace pixvane {
namespace {

int32_t Convert(const uint8_t* src, const ConversionInfo* info, uint8_t* dst, int32_t* out_len,
                Output out) {
  if (out_len != nullptr) *out_len = 0;
  if (dst == nullptr || out_len == nullptr) return kConvertNullArgument;
  const uint32_t channels = out == Output::Mono8 ? 1 : 3;
  Frame frame{};
  if (const ConvertStatus status = DescribeFrame(src, info, channels, frame); status != kConvertOk)
    return status;
  ConvertFrame(frame, out, ActiveKernels(), dst);
  *out_len = static_cast<int32_t>(uint64_t{frame.width} * frame.height * channels);
  return kConvertOk;
}

// The line buffers of a conversion are its only allocations.
constexpr boundary::ThrowAnswers<int32_t> kThrowAnswers{kConvertOutOfMemory, kConvertInternalError};

}  // namespace
}  // namespace pixvane

extern "C" {

PIXVANE_API int32_t PXVANE_ConvertToMono8(const uint8_t* src, const ConversionInfo* info,
                                          uint8_t* dst, int32_t* out_len) {
  return boundary::Barrier(pixvane::kThrowAnswers, [&] {
    return pixvane::Convert(src, info, dst, out_len, pixvane::Output::Mono8);
  });
}

PIXVANE_API int32_t PXVANE_ConvertToBGR24(const uint8_t* src, const ConversionInfo* info,
                                          uint8_t* dst, int32_t* out_len) {
  return boundary::Barrier(pixvane::kThrowAnswers, [&] {
    return pixvane::Convert(src, info, dst, out_len, pixvane::Output::Bgr24);
  });
}

}  // extern "C"
