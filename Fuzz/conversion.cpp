// Fuzz target: the conversion library.  Each input is a frame description
// (any geometry, padding and pixel format) and its bytes; the source
// buffer holds exactly data_size bytes, so reading past it is caught.
#include "conversion.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "pixvane/isa_override.h"
#include "pixvane/pixel_formats.h"
#include "support/fuzz_world.h"

namespace {

// Larger frames only slow the search down without reaching new code.
constexpr uint64_t kMaxDestination = uint64_t{16} << 20;
constexpr uint32_t kMaxSource = uint32_t{8} << 20;

uint32_t Dimension(FuzzedDataProvider& data) {
  return data.ConsumeBool() ? data.ConsumeIntegralInRange<uint32_t>(0, 300)
                            : data.ConsumeIntegral<uint32_t>();
}

uint32_t PixelFormat(FuzzedDataProvider& data) {
  if (data.ConsumeIntegralInRange<int>(0, 15) == 0) return data.ConsumeIntegral<uint32_t>();
  const auto& formats = pixvane::kPixelFormats;
  return formats[data.ConsumeIntegralInRange<size_t>(0, std::size(formats) - 1)].code;
}

// The source: the rest of the input, or a length the input names filled
// by repeating the rest (large frames from small inputs).
std::vector<uint8_t> Source(FuzzedDataProvider& data) {
  const bool stretched = data.ConsumeBool();
  const uint32_t length = stretched ? data.ConsumeIntegralInRange<uint32_t>(0, kMaxSource) : 0;
  std::vector<uint8_t> bytes = data.ConsumeRemainingBytes<uint8_t>();
  if (!stretched) return bytes;
  std::vector<uint8_t> source(length);
  for (uint32_t i = 0; i < length; ++i) {
    source[i] = bytes.empty() ? static_cast<uint8_t>(i * 31) : bytes[i % bytes.size()];
  }
  return source;
}

void Convert(bool to_bgr, const std::vector<uint8_t>& source, const ConversionInfo& info,
             uint64_t pixels) {
  const uint64_t wanted = to_bgr ? pixels * 3 : pixels;
  std::vector<uint8_t> destination(wanted);
  int32_t written = -1;
  const int32_t result =
      to_bgr ? PXVANE_ConvertToBGR24(source.data(), &info, destination.data(), &written)
             : PXVANE_ConvertToMono8(source.data(), &info, destination.data(), &written);
  if (result == 0 && static_cast<uint64_t>(written) != wanted) {
    hacq_fuzz::Fail("conversion reported success with the wrong length");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  ConversionInfo info{};
  info.width = Dimension(data);
  info.height = Dimension(data);
  info.frame_extra_1 = data.ConsumeBool() ? data.ConsumeIntegralInRange<uint32_t>(0, 64)
                                          : data.ConsumeIntegral<uint32_t>();
  info.frame_extra_2 = data.ConsumeBool() ? data.ConsumeIntegralInRange<uint32_t>(0, 64)
                                          : data.ConsumeIntegral<uint32_t>();
  info.pixel_format = PixelFormat(data);
  const auto isa = static_cast<pixvane::Isa>(data.ConsumeIntegralInRange<int>(0, 3));
  const bool to_bgr = data.ConsumeBool();
  const uint64_t pixels = uint64_t{info.width} * info.height;
  if (pixels * 3 > kMaxDestination) return -1;  // not kept in the corpus
  const std::vector<uint8_t> source = Source(data);
  info.data_size = static_cast<uint32_t>(source.size());

  if (!pixvane::ForceIsa(isa)) pixvane::ResetIsa();
  Convert(to_bgr, source, info, pixels);
  return 0;
}
