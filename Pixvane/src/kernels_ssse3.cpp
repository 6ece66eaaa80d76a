// SSSE3 kernels: 16 pixels per step.
#include "kernels.h"
#include "lane_tables.h"
#include "pixel_math.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "simd/target_begin_ssse3.h"
// Compiled for SSSE3 from here on:
#include "simd/ssse3_vector.h"
#include "vector_kernels.h"

namespace pixvane {
namespace {

using simd::LoadTable;
using simd::Ssse3;

// Colour pixels to blue, green, red: each 16-byte store holds the whole
// pixels of one 16-byte load, and the next store rewrites the bytes past
// them.  Loads and stores stay inside the row for x + 6 <= width.
template <unsigned kStep, unsigned kR, unsigned kB>
void ColourToBgrRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  static constexpr auto kMask = ColourToBgrMask16(kStep, kR, kB);
  constexpr uint32_t kPixels = 16 / kStep;
  const __m128i mask = LoadTable(kMask);
  uint32_t x = 0;
  for (; x + 6 <= width; x += kPixels)
    Ssse3::Store(dst + 3 * x, _mm_shuffle_epi8(Ssse3::Load(src + kStep * x), mask));
  ColourSpanToBgr<kStep, kR, kB>(src, dst, x, width);
}

// Four pixels' luma x 256 + 128 in 32-bit lanes, from 16 bytes at `src`.
template <unsigned kStep, unsigned kR, unsigned kB>
__m128i FourLumaSums(const uint8_t* src) {
  static constexpr auto kRedGreen = ColourWordsMask16(kStep, kR, kB, true);
  static constexpr auto kBlue = ColourWordsMask16(kStep, kR, kB, false);
  const __m128i px = Ssse3::Load(src);
  const __m128i red_green = _mm_madd_epi16(_mm_shuffle_epi8(px, LoadTable(kRedGreen)),
                                           _mm_set1_epi32(kLumaR | kLumaG << 16));
  const __m128i blue =
      _mm_madd_epi16(_mm_shuffle_epi8(px, LoadTable(kBlue)), _mm_set1_epi32(kLumaB));
  return _mm_add_epi32(_mm_add_epi32(red_green, blue), _mm_set1_epi32(128));
}

template <unsigned kStep, unsigned kR, unsigned kB>
__m128i FourLuma(const uint8_t* src) {
  return _mm_srli_epi32(FourLumaSums<kStep, kR, kB>(src), 8);
}

// Sixteen pixels per step; the last of its four loads ends 16 bytes after
// the start of pixel x + 12, which must stay inside the row.
template <unsigned kStep, unsigned kR, unsigned kB>
void ColourToMonoRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  uint32_t x = 0;
  for (; uint64_t{kStep} * (x + 12) + 16 <= uint64_t{kStep} * width; x += 16) {
    const uint8_t* p = src + kStep * x;
    const __m128i low =
        _mm_packs_epi32(FourLuma<kStep, kR, kB>(p), FourLuma<kStep, kR, kB>(p + 4 * kStep));
    const __m128i high = _mm_packs_epi32(FourLuma<kStep, kR, kB>(p + 8 * kStep),
                                         FourLuma<kStep, kR, kB>(p + 12 * kStep));
    Ssse3::Store(dst + x, _mm_packus_epi16(low, high));
  }
  ColourSpanToMono<kStep, kR, kB>(src, dst, x, width);
}

// Eight samples of a bit stream from 16 bytes at `src`, each sample's 8
// high bits in the high byte of its 16-bit lane.
template <unsigned kBits>
__m128i EightHighBytes(const uint8_t* src) {
  static constexpr BitStreamTables kTables = MakeBitStreamTables(kBits);
  const __m128i words = _mm_shuffle_epi8(Ssse3::Load(src), LoadTable(kTables.bytes));
  const __m128i multipliers =
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(kTables.multipliers.data()));
  return _mm_mullo_epi16(words, multipliers);
}

// Sixteen samples per step, whose bytes start at a byte boundary (8 samples
// are a whole number of bytes); both loads stay inside the row.
template <unsigned kBits>
void BitStreamRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  constexpr uint32_t kBytesPer8 = kBits;
  const uint64_t row_bytes = (uint64_t{width} * kBits + 7) / 8;
  uint32_t x = 0;
  for (; uint64_t{x} / 8 * kBytesPer8 + kBytesPer8 + 16 <= row_bytes && x + 16 <= width; x += 16) {
    const uint8_t* p = src + x / 8 * kBytesPer8;
    const __m128i low = _mm_srli_epi16(EightHighBytes<kBits>(p), 8);
    const __m128i high = _mm_srli_epi16(EightHighBytes<kBits>(p + kBytesPer8), 8);
    Ssse3::Store(dst + x, _mm_packus_epi16(low, high));
  }
  BitStreamSpanToMono8<kBits>(src, dst, x, width);
}

// floor((c * d + 32768) / 65536) for 16-bit d and c, from the high and
// low halves of the 32-bit product.
__m128i RoundedHighProduct(__m128i d, int16_t c) {
  const __m128i cs = _mm_set1_epi16(c);
  return _mm_add_epi16(_mm_mulhi_epi16(d, cs), _mm_srli_epi16(_mm_mullo_epi16(d, cs), 15));
}

// floor((g_u * du + g_v * dv + 32768) / 65536) for 16-bit lanes of du and
// dv whose weights fit 16 bits.
__m128i RoundedHighDot(__m128i du, __m128i dv, int16_t g_u, int16_t g_v) {
  const __m128i weights = _mm_set1_epi32(static_cast<int32_t>(
      static_cast<uint16_t>(g_u) | static_cast<uint32_t>(static_cast<uint16_t>(g_v)) << 16));
  const __m128i half = _mm_set1_epi32(32768);
  const __m128i low =
      _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpacklo_epi16(du, dv), weights), half), 16);
  const __m128i high =
      _mm_srai_epi32(_mm_add_epi32(_mm_madd_epi16(_mm_unpackhi_epi16(du, dv), weights), half), 16);
  return _mm_packs_epi32(low, high);
}

// Sixteen pixels (eight chroma pairs) per step, with the portable kernel's
// exact integer arithmetic: each weight above 16 bits is split into a
// multiple of 65536, applied as a multiple of the chroma, and a remainder.
template <unsigned kYOffset>
void YuvToBgrRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  constexpr unsigned kU = 1 - kYOffset;
  static constexpr auto kLuma = YuvLumaWordsMask16(kYOffset);
  static constexpr auto kULow = YuvChromaWordsMask16(kU, false);
  static constexpr auto kUHigh = YuvChromaWordsMask16(kU, true);
  static constexpr auto kVLow = YuvChromaWordsMask16(kU + 2, false);
  static constexpr auto kVHigh = YuvChromaWordsMask16(kU + 2, true);
  static_assert(kUtoB == 2 * 65536 - 14942 && kVtoR == 65536 + 26345 && kVtoG == 65536 - 18734);
  const __m128i bias = _mm_set1_epi16(128);
  uint32_t x = 0;
  for (; x + 16 <= width; x += 16) {
    const __m128i s0 = Ssse3::Load(src + 2 * x);
    const __m128i s1 = Ssse3::Load(src + 2 * x + 16);
    const __m128i du = _mm_sub_epi16(_mm_or_si128(_mm_shuffle_epi8(s0, LoadTable(kULow)),
                                                  _mm_shuffle_epi8(s1, LoadTable(kUHigh))),
                                     bias);
    const __m128i dv = _mm_sub_epi16(_mm_or_si128(_mm_shuffle_epi8(s0, LoadTable(kVLow)),
                                                  _mm_shuffle_epi8(s1, LoadTable(kVHigh))),
                                     bias);
    const __m128i b = _mm_add_epi16(_mm_add_epi16(du, du), RoundedHighProduct(du, -14942));
    const __m128i g =
        _mm_sub_epi16(RoundedHighDot(du, dv, static_cast<int16_t>(-kUtoG), 18734), dv);
    const __m128i r = _mm_add_epi16(dv, RoundedHighProduct(dv, 26345));
    const __m128i y0 = _mm_shuffle_epi8(s0, LoadTable(kLuma));
    const __m128i y1 = _mm_shuffle_epi8(s1, LoadTable(kLuma));
    // Each pair's term goes to both of its pixels; packus clamps to 0..255.
    auto plane = [&](__m128i term) {
      return _mm_packus_epi16(_mm_add_epi16(y0, _mm_unpacklo_epi16(term, term)),
                              _mm_add_epi16(y1, _mm_unpackhi_epi16(term, term)));
    };
    Ssse3::StoreBgr(dst + 3 * x, plane(b), plane(g), plane(r));
  }
  YuvSpanToBgr<kYOffset>(src, dst, x, width);
}

// Sixteen pixels per step: the Y bytes of 32 source bytes.
template <unsigned kYOffset>
void YuvToMonoRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  static constexpr auto kLow = YuvLumaBytesMask16(kYOffset, false);
  static constexpr auto kHigh = YuvLumaBytesMask16(kYOffset, true);
  uint32_t x = 0;
  for (; x + 16 <= width; x += 16)
    Ssse3::Store(dst + x,
                 _mm_or_si128(_mm_shuffle_epi8(Ssse3::Load(src + 2 * x), LoadTable(kLow)),
                              _mm_shuffle_epi8(Ssse3::Load(src + 2 * x + 16), LoadTable(kHigh))));
  for (; x < width; ++x) dst[x] = src[2 * x + kYOffset];
}

}  // namespace

void InstallSsse3Kernels(Kernels& k) {
  k.yuyv_to_bgr = YuvToBgrRow<0>;
  k.uyvy_to_bgr = YuvToBgrRow<1>;
  k.yuyv_to_mono = YuvToMonoRow<0>;
  k.uyvy_to_mono = YuvToMonoRow<1>;
  k.p10_to_8 = BitStreamRow<10>;
  k.p12_to_8 = BitStreamRow<12>;
  InstallVectorKernels<Ssse3>(k);
  k.rgb_to_bgr = ColourToBgrRow<3, 0, 2>;
  k.rgba_to_bgr = ColourToBgrRow<4, 0, 2>;
  k.bgra_to_bgr = ColourToBgrRow<4, 2, 0>;
  k.rgb_to_mono = ColourToMonoRow<3, 0, 2>;
  k.bgr_to_mono = ColourToMonoRow<3, 2, 0>;
  k.rgba_to_mono = ColourToMonoRow<4, 0, 2>;
  k.bgra_to_mono = ColourToMonoRow<4, 2, 0>;
}

}  // namespace pixvane

#include "simd/target_end.h"

#else
namespace pixvane {
void InstallSsse3Kernels(Kernels&) {}
}  // namespace pixvane
#endif
