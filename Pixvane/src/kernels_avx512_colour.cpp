// AVX-512 kernels (with byte permutes, AVX512-VBMI) for the colour and YUV
// 4:2:2 layouts: 64 pixels per step.
#include <array>

#include "kernels.h"
#include "pixel_math.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "simd/target_begin_avx512.h"
// Compiled for AVX-512 from here on:
#include "simd/avx512_vector.h"
#include "vector_kernels.h"

namespace pixvane {
namespace {

using simd::Avx512;
using simd::EveryOtherByte;
using simd::LoadTable;
using simd::Table64;

constexpr __mmask64 kEvenBytes = 0x5555555555555555ull;

// Each permute below reads two registers loaded from consecutive 64-byte
// blocks, 128 bytes from a base offset into the step's source bytes.

// Output chunk `chunk` (64 bytes) of 64 blue-green-red pixels takes its
// 21 or 22 pixels from the 128 source bytes at BgrChunkBase.
constexpr unsigned BgrChunkBase(unsigned step, unsigned chunk) {
  return (step == 4 ? 64 : 32) * chunk;
}

constexpr Table64 ColourToBgrIndex(unsigned step, unsigned r, unsigned b, unsigned chunk) {
  const unsigned channel_byte[3] = {b, 1, r};
  Table64 t{};
  for (unsigned i = 0; i < 64; ++i) {
    const unsigned j = 64 * chunk + i;
    t[i] = static_cast<uint8_t>(step * (j / 3) + channel_byte[j % 3] - BgrChunkBase(step, chunk));
  }
  return t;
}

// Pixels 32 * half .. + 31 of a step lie in the 128 bytes from LumaHalfBase.
constexpr unsigned LumaHalfBase(unsigned step, unsigned half) {
  return (step == 4 ? 128 : 64) * half;
}

// Those 32 pixels as 16-bit lanes of red and blue bytes (`red_blue`), or
// of green and 64: the permute masks the high bytes off and keeps these
// index bytes there, half the luma's rounding.
constexpr Table64 ColourWordsIndex(unsigned step, unsigned r, unsigned b, unsigned half,
                                   bool red_blue) {
  Table64 t{};
  for (unsigned i = 0; i < 32; ++i) {
    const unsigned pixel = step * (32 * half + i) - LumaHalfBase(step, half);
    t[2 * i] = static_cast<uint8_t>(pixel + (red_blue ? r : 1));
    t[2 * i + 1] = static_cast<uint8_t>(red_blue ? pixel + b : 64);
  }
  return t;
}

// YUV 4:2:2, 32 pairs in 128 bytes: the chroma of pairs 16 * group .. + 15
// as 32-bit lanes of u and v words (high bytes masked off).
constexpr Table64 YuvChromaIndex(unsigned u_offset, unsigned group) {
  Table64 t{};
  for (unsigned d = 0; d < 16; ++d) {
    const unsigned pair = 16 * group + d;
    t[4 * d] = static_cast<uint8_t>(4 * pair + u_offset);
    t[4 * d + 2] = static_cast<uint8_t>(4 * pair + u_offset + 2);
  }
  return t;
}

// Y of each byte of output chunk `chunk` of 64 blue-green-red pixels.
constexpr Table64 YuvLumaIndex(unsigned y_offset, unsigned chunk) {
  Table64 t{};
  for (unsigned i = 0; i < 64; ++i)
    t[i] = static_cast<uint8_t>(2 * ((64 * chunk + i) / 3) + y_offset);
  return t;
}

// Chroma term of each byte of output chunk `chunk`, from the two registers
// that YuvChromaTerms packs: in 128-bit lane l of group k's register, bytes
// 2q and 2q + 1 hold blue and red of pair 16k + 4l + q, byte 8 + 2q green.
constexpr Table64 YuvTermIndex(unsigned chunk) {
  Table64 t{};
  for (unsigned i = 0; i < 64; ++i) {
    const unsigned j = 64 * chunk + i;
    const unsigned pair = j / 6;
    const unsigned q = pair % 4;
    const unsigned channel_byte[3] = {2 * q, 8 + 2 * q, 2 * q + 1};
    t[i] = static_cast<uint8_t>(64 * (pair / 16) + 16 * (pair % 16 / 4) + channel_byte[j % 3]);
  }
  return t;
}

// Sixty-four pixels per step, three 64-byte stores.
template <unsigned kStep, unsigned kR, unsigned kB>
void ColourToBgrRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  if (width < 64) return ColourSpanToBgr<kStep, kR, kB>(src, dst, 0, width);
  static constexpr Table64 kIndex[3] = {ColourToBgrIndex(kStep, kR, kB, 0),
                                        ColourToBgrIndex(kStep, kR, kB, 1),
                                        ColourToBgrIndex(kStep, kR, kB, 2)};
  CoverRow<64, 3, 1>(dst, width, [&](uint32_t x) {
    for (unsigned c = 0; c < 3; ++c) {
      const uint8_t* from = src + kStep * x + BgrChunkBase(kStep, c);
      Avx512::Store(dst + 3 * x + 64 * c,
                    _mm512_permutex2var_epi8(Avx512::Load(from), LoadTable(kIndex[c]),
                                             Avx512::Load(from + 64)));
    }
  });
}

// Luma x 256 + 128 of 32 pixels in 16-bit lanes, from the 128 bytes at
// `from`; the sum stays below 65536.  G's weight, 150, exceeds a signed
// byte, so the green lanes, 75 g + 64, count twice.
template <unsigned kStep, unsigned kR, unsigned kB, unsigned kHalf>
__m512i LumaSums(const uint8_t* from) {
  static constexpr Table64 kRedBlue = ColourWordsIndex(kStep, kR, kB, kHalf, true);
  static constexpr Table64 kGreen = ColourWordsIndex(kStep, kR, kB, kHalf, false);
  const __m512i a = Avx512::Load(from);
  const __m512i b = Avx512::Load(from + 64);
  const __m512i red_blue = _mm512_permutex2var_epi8(a, LoadTable(kRedBlue), b);
  const __m512i green = _mm512_mask2_permutex2var_epi8(a, LoadTable(kGreen), kEvenBytes, b);
  const __m512i rb = _mm512_maddubs_epi16(red_blue, _mm512_set1_epi16(kLumaR | kLumaB << 8));
  const __m512i g = _mm512_maddubs_epi16(green, _mm512_set1_epi16(kLumaG / 2 | 1 << 8));
  return _mm512_add_epi16(rb, _mm512_add_epi16(g, g));
}

// Sixty-four pixels per step: each luma is the high byte of its sum.
template <unsigned kStep, unsigned kR, unsigned kB>
void ColourToMonoRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  if (width < 64) return ColourSpanToMono<kStep, kR, kB>(src, dst, 0, width);
  static constexpr Table64 kHighBytes = EveryOtherByte(1);
  CoverRow<64, 1, 1>(dst, width, [&](uint32_t x) {
    const uint8_t* p = src + kStep * x;
    const __m512i low = LumaSums<kStep, kR, kB, 0>(p);
    const __m512i high = LumaSums<kStep, kR, kB, 1>(p + LumaHalfBase(kStep, 1));
    Avx512::Store(dst + x, _mm512_permutex2var_epi8(low, LoadTable(kHighBytes), high));
  });
}

// The chroma terms of 16 pairs as bytes: the positive ones in `add`, the
// magnitude of the negative ones in `sub` (none exceeds 227 either way).
struct ChromaTerms {
  __m512i add, sub;
};

// The portable kernel's exact integer arithmetic on 32-bit lanes of (du,
// dv) words: blue and red in the low and high words (weights above 16 bits
// split into a multiple of 65536, applied as a multiple of the chroma, and
// a remainder), green in the low word of a 32-bit dot product.
template <unsigned kU, unsigned kGroup>
ChromaTerms YuvChromaTerms(__m512i s0, __m512i s1) {
  static constexpr Table64 kChroma = YuvChromaIndex(kU, kGroup);
  static_assert(kUtoB == 2 * 65536 - 14942 && kVtoR == 65536 + 26345 && kVtoG == 65536 - 18734);
  const __m512i uv =
      _mm512_sub_epi16(_mm512_maskz_permutex2var_epi8(kEvenBytes, s0, LoadTable(kChroma), s1),
                       _mm512_set1_epi16(128));
  // floor((c * d + 32768) / 65536) from the high and low product halves.
  const __m512i c = _mm512_set1_epi32(static_cast<uint16_t>(-14942) | 26345 << 16);
  const __m512i whole = _mm512_mask_add_epi16(uv, 0x55555555u, uv, uv);  // 2du, dv
  const __m512i blue_red = _mm512_add_epi16(_mm512_add_epi16(whole, _mm512_mulhi_epi16(uv, c)),
                                            _mm512_srli_epi16(_mm512_mullo_epi16(uv, c), 15));
  // Subtracting dv x 65536, the high word alone, applies kVtoG's multiple.
  const __m512i dot =
      _mm512_madd_epi16(uv, _mm512_set1_epi32(static_cast<uint16_t>(-kUtoG) | 18734 << 16));
  const __m512i green = _mm512_srai_epi32(
      _mm512_sub_epi32(_mm512_add_epi32(dot, _mm512_set1_epi32(32768)),
                       _mm512_and_si512(uv, _mm512_set1_epi32(static_cast<int32_t>(0xFFFF0000u)))),
      16);
  const __m512i zero = _mm512_setzero_si512();
  return {_mm512_packus_epi16(blue_red, green),
          _mm512_packus_epi16(_mm512_sub_epi16(zero, blue_red), _mm512_sub_epi16(zero, green))};
}

// Sixty-four pixels (32 chroma pairs) per step.  Each output byte is its
// pixel's Y plus a chroma term, clamped by saturating byte arithmetic:
// adding the positive part and subtracting the negative one, only one of
// which is non-zero, clamps as the portable kernel does.
template <unsigned kYOffset>
void YuvToBgrRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  constexpr unsigned kU = 1 - kYOffset;
  const uint32_t pairs_end = width & ~1u;
  if (pairs_end < 64) return YuvSpanToBgr<kYOffset>(src, dst, 0, width);
  static constexpr Table64 kLuma[3] = {YuvLumaIndex(kYOffset, 0), YuvLumaIndex(kYOffset, 1),
                                       YuvLumaIndex(kYOffset, 2)};
  static constexpr Table64 kTerm[3] = {YuvTermIndex(0), YuvTermIndex(1), YuvTermIndex(2)};
  // Vectors start on pairs.
  CoverRow<64, 3, 2>(dst, pairs_end, [&](uint32_t x) {
    const __m512i s0 = Avx512::Load(src + 2 * x);
    const __m512i s1 = Avx512::Load(src + 2 * x + 64);
    const ChromaTerms t0 = YuvChromaTerms<kU, 0>(s0, s1);
    const ChromaTerms t1 = YuvChromaTerms<kU, 1>(s0, s1);
    for (unsigned c = 0; c < 3; ++c) {
      const __m512i term = LoadTable(kTerm[c]);
      const __m512i y = _mm512_permutex2var_epi8(s0, LoadTable(kLuma[c]), s1);
      const __m512i up = _mm512_adds_epu8(y, _mm512_permutex2var_epi8(t0.add, term, t1.add));
      Avx512::Store(dst + 3 * x + 64 * c,
                    _mm512_subs_epu8(up, _mm512_permutex2var_epi8(t0.sub, term, t1.sub)));
    }
  });
  YuvSpanToBgr<kYOffset>(src, dst, pairs_end, width);
}

}  // namespace

void InstallAvx512ColourKernels(Kernels& k) {
  k.rgb_to_bgr = ColourToBgrRow<3, 0, 2>;
  k.rgba_to_bgr = ColourToBgrRow<4, 0, 2>;
  k.bgra_to_bgr = ColourToBgrRow<4, 2, 0>;
  k.rgb_to_mono = ColourToMonoRow<3, 0, 2>;
  k.bgr_to_mono = ColourToMonoRow<3, 2, 0>;
  k.rgba_to_mono = ColourToMonoRow<4, 0, 2>;
  k.bgra_to_mono = ColourToMonoRow<4, 2, 0>;
  // Y is the low (YUYV) or high (UYVY) byte of each 16-bit word.
  k.yuyv_to_mono = Mono16Row<Avx512, 0>;
  k.uyvy_to_mono = Mono16Row<Avx512, 8>;
  k.yuyv_to_bgr = YuvToBgrRow<0>;
  k.uyvy_to_bgr = YuvToBgrRow<1>;
}

}  // namespace pixvane

#include "simd/target_end.h"

#else
namespace pixvane {
void InstallAvx512ColourKernels(Kernels&) {}
}  // namespace pixvane
#endif
