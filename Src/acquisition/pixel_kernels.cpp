#include "acquisition/pixel_kernels.h"

#include "acquisition/pixel_kernel_levels.h"

namespace {

void WidenPortable(const uint8_t* src, uint8_t* dst, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) dst[3 * i] = dst[3 * i + 1] = dst[3 * i + 2] = src[i];
}

void SplitPortable(const uint8_t* src, uint8_t* a, uint8_t* b, uint8_t* c, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) {
    a[i] = src[3 * i];
    b[i] = src[3 * i + 1];
    c[i] = src[3 * i + 2];
  }
}

template <int kChannel>
void ExtractPortable(const uint8_t* src, uint8_t* dst, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) dst[i] = src[3 * i + kChannel];
}

constexpr PixelKernels kPortable{
    WidenPortable, SplitPortable, {ExtractPortable<0>, ExtractPortable<1>, ExtractPortable<2>}};

}  // namespace

const PixelKernels* PixelKernelsAt(simd::Isa isa) {
  if (!simd::Supported(isa)) return nullptr;
  switch (isa) {
#if defined(__x86_64__) || defined(__i386__)
    case simd::Isa::Ssse3:
      return &kSsse3PixelKernels;
    case simd::Isa::Avx2:
      return &kAvx2PixelKernels;
    case simd::Isa::Avx512:
      return &kAvx512PixelKernels;
#endif
    default:
      return &kPortable;
  }
}

const PixelKernels& ActivePixelKernels() {
  static const PixelKernels* const chosen = PixelKernelsAt(simd::Best());
  return *chosen;
}
