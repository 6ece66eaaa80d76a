// AVX2 kernels for the colour and YUV 4:2:2 layouts: 32 pixels per step,
// shuffled within 128-bit lanes.
#include "kernels.h"
#include "lane_tables.h"
#include "pixel_math.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

#include "simd/target_begin_avx2.h"
// Compiled for AVX2 from here on:
#include "simd/avx2_vector.h"
#include "vector_kernels.h"

namespace pixvane {
namespace {

using simd::Avx2;
using simd::LoadTable;

using Table32 = std::array<uint8_t, 32>;

__m256i LoadTable32(const Table32& t) {
  return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(t.data()));
}

// Four-byte pixels to BGR: each lane's four pixels shuffle to 12 bytes,
// and dword permutes and blends join the eight 12-byte pieces into three
// 32-byte stores.
__m256i PermuteDwords(__m256i v, int d0, int d1, int d2, int d3, int d4, int d5, int d6, int d7) {
  return _mm256_permutevar8x32_epi32(v, _mm256_setr_epi32(d0, d1, d2, d3, d4, d5, d6, d7));
}

template <unsigned kR, unsigned kB>
void QuadToBgrRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  if (width < Avx2::N) return ColourSpanToBgr<4, kR, kB>(src, dst, 0, width);
  static constexpr auto kMask = ColourToBgrMask16(4, kR, kB);
  CoverRow<Avx2::N, 3, 1>(dst, width, [&](uint32_t x) {
    const uint8_t* p = src + size_t{4} * x;
    auto piece = [&](unsigned i) {
      return _mm256_shuffle_epi8(Avx2::Load(p + 32 * i), LoadTable(kMask));
    };
    // Each piece's filled dwords are 0-2 and 4-6; unused places take 3.
    const __m256i a = PermuteDwords(piece(0), 0, 1, 2, 4, 5, 6, 3, 3);
    const __m256i b = PermuteDwords(piece(1), 2, 4, 5, 6, 3, 3, 0, 1);
    const __m256i c = PermuteDwords(piece(2), 5, 6, 3, 3, 0, 1, 2, 4);
    const __m256i d = PermuteDwords(piece(3), 3, 3, 0, 1, 2, 4, 5, 6);
    uint8_t* out = dst + size_t{3} * x;
    Avx2::Store(out, _mm256_blend_epi32(a, b, 0xC0));
    Avx2::Store(out + 32, _mm256_blend_epi32(b, c, 0xF0));
    Avx2::Store(out + 64, _mm256_blend_epi32(c, d, 0xFC));
  });
}

// Luma with byte multiplies: G's weight, 150, exceeds a signed byte, so it
// is split between the pairs (r, g) and (g, b), whose sums then stay below
// 2^15 each.
constexpr uint32_t kGreenWithRed = 128 - kLumaR;
constexpr uint32_t kGreenWithBlue = kLumaG - kGreenWithRed;
static_assert(kGreenWithBlue + kLumaB <= 128 && kGreenWithBlue < 128);

// Four pixels per lane as (r, g, g, b) dwords; lane 1 reads from `lane1_back`
// bytes before its first pixel, so three-byte pixels stay inside the step.
constexpr Table32 LumaBytes(unsigned step, unsigned r, unsigned b, unsigned lane1_back) {
  Table32 t{};
  for (unsigned lane = 0; lane < 2; ++lane)
    for (unsigned p = 0; p < 4; ++p) {
      const unsigned at = step * p + (lane == 1 ? lane1_back : 0);
      const unsigned bytes[4] = {at + r, at + 1, at + 1, at + b};
      for (unsigned k = 0; k < 4; ++k) t[16 * lane + 4 * p + k] = static_cast<uint8_t>(bytes[k]);
    }
  return t;
}

// Thirty-two pixels per step: group g holds pixels 4g .. 4g + 3 in lane 0
// and 16 more in lane 1, so the lane-wise packs leave the lumas in order.
template <unsigned kStep, unsigned kR, unsigned kB>
void ColourToMonoRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  if (width < Avx2::N) return ColourSpanToMono<kStep, kR, kB>(src, dst, 0, width);
  // Lane 1 of the last three-byte group would read 4 bytes past the step.
  constexpr unsigned kBack = kStep == 3 ? 4 : 0;
  static constexpr Table32 kBytes = LumaBytes(kStep, kR, kB, kBack);
  const __m256i weights = _mm256_set1_epi32(
      static_cast<int32_t>(kLumaR | kGreenWithRed << 8 | kGreenWithBlue << 16 | kLumaB << 24));
  const __m256i ones = _mm256_set1_epi16(1);
  CoverRow<Avx2::N, 1, 1>(dst, width, [&](uint32_t x) {
    const uint8_t* p = src + size_t{kStep} * x;
    auto sum = [&](unsigned g) {  // luma x 256, below 65536
      const __m256i px = Avx2::LoadLanes(p + kStep * 4 * g, p + kStep * (4 * g + 16) - kBack);
      const __m256i pairs =
          _mm256_maddubs_epi16(_mm256_shuffle_epi8(px, LoadTable32(kBytes)), weights);
      return _mm256_madd_epi16(pairs, ones);
    };
    auto luma = [&](unsigned g) {
      const __m256i sums = _mm256_packus_epi32(sum(g), sum(g + 1));
      return _mm256_srli_epi16(_mm256_add_epi16(sums, _mm256_set1_epi16(128)), 8);
    };
    Avx2::Store(dst + x, _mm256_packus_epi16(luma(0), luma(2)));
  });
}

// YUV 4:2:2, lane-local: each lane makes 16 pixels (48 output bytes, three
// 16-byte chunks) from its 32 source bytes.  Chunk c's Y lie in the lane's
// window of 16 bytes at 8c.
constexpr std::array<uint8_t, 16> YuvLumaChunk(unsigned y_offset, unsigned chunk) {
  std::array<uint8_t, 16> t{};
  for (unsigned i = 0; i < 16; ++i)
    t[i] = static_cast<uint8_t>(2 * ((16 * chunk + i) / 3) + y_offset - 8 * chunk);
  return t;
}

// The chroma terms of a window's four pairs, in each lane: bytes 2q and
// 2q + 1 hold blue and red of pair q, byte 8 + 2q green.  Lane pair n
// comes from the window of its chunk, in place q = n % 4.
constexpr std::array<uint8_t, 16> YuvTermChunk(unsigned chunk) {
  std::array<uint8_t, 16> t{};
  for (unsigned i = 0; i < 16; ++i) {
    const unsigned j = 16 * chunk + i;
    const unsigned q = j / 6 % 4;
    const unsigned channel_byte[3] = {2 * q, 8 + 2 * q, 2 * q + 1};
    t[i] = static_cast<uint8_t>(channel_byte[j % 3]);
  }
  return t;
}

// The positive chroma terms in `add`, the magnitude of the negative ones in
// `sub` (none exceeds 227 either way).
struct ChromaTerms {
  __m256i add, sub;
};

// The portable kernel's exact integer arithmetic on 32-bit lanes of (du,
// dv) words: blue and red in the low and high words (weights above 16 bits
// split into a multiple of 65536, applied as a multiple of the chroma, and
// a remainder), green in the low word of a 32-bit dot product.
template <unsigned kYOffset>
ChromaTerms YuvChromaTerms(__m256i window) {
  static_assert(kUtoB == 2 * 65536 - 14942 && kVtoR == 65536 + 26345 && kVtoG == 65536 - 18734);
  const __m256i chroma = kYOffset == 0 ? _mm256_srli_epi16(window, 8)
                                       : _mm256_and_si256(window, _mm256_set1_epi16(0x00FF));
  const __m256i uv = _mm256_sub_epi16(chroma, _mm256_set1_epi16(128));
  // floor((c * d + 32768) / 65536) from the high and low product halves.
  const __m256i c = _mm256_set1_epi32(static_cast<uint16_t>(-14942) | 26345 << 16);
  const __m256i whole = _mm256_add_epi16(uv, _mm256_and_si256(uv, _mm256_set1_epi32(0xFFFF)));
  const __m256i blue_red = _mm256_add_epi16(_mm256_add_epi16(whole, _mm256_mulhi_epi16(uv, c)),
                                            _mm256_srli_epi16(_mm256_mullo_epi16(uv, c), 15));
  // Subtracting dv x 65536, the high word alone, applies kVtoG's multiple.
  const __m256i dot =
      _mm256_madd_epi16(uv, _mm256_set1_epi32(static_cast<uint16_t>(-kUtoG) | 18734 << 16));
  const __m256i green = _mm256_srai_epi32(
      _mm256_sub_epi32(_mm256_add_epi32(dot, _mm256_set1_epi32(32768)),
                       _mm256_and_si256(uv, _mm256_set1_epi32(static_cast<int32_t>(0xFFFF0000u)))),
      16);
  const __m256i zero = _mm256_setzero_si256();
  return {_mm256_packus_epi16(blue_red, green),
          _mm256_packus_epi16(_mm256_sub_epi16(zero, blue_red), _mm256_sub_epi16(zero, green))};
}

// Thirty-two pixels (16 chroma pairs) per step.  Each output byte is its
// pixel's Y plus a chroma term, clamped by saturating byte arithmetic:
// adding the positive part and subtracting the negative one, only one of
// which is non-zero, clamps as the portable kernel does.
template <unsigned kYOffset>
void YuvToBgrRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  const uint32_t pairs_end = width & ~1u;
  if (pairs_end < Avx2::N) return YuvSpanToBgr<kYOffset>(src, dst, 0, width);
  static constexpr std::array<uint8_t, 16> kLuma[3] = {
      YuvLumaChunk(kYOffset, 0), YuvLumaChunk(kYOffset, 1), YuvLumaChunk(kYOffset, 2)};
  static constexpr std::array<uint8_t, 16> kTerm[3] = {YuvTermChunk(0), YuvTermChunk(1),
                                                       YuvTermChunk(2)};
  // Vectors start on pairs.
  CoverRow<Avx2::N, 3, 2>(dst, pairs_end, [&](uint32_t x) {
    const uint8_t* p = src + size_t{2} * x;
    auto chunk = [&](unsigned c, __m256i window, ChromaTerms terms) {
      const __m256i term = LoadTable(kTerm[c]);
      const __m256i y = _mm256_shuffle_epi8(window, LoadTable(kLuma[c]));
      const __m256i up = _mm256_adds_epu8(y, _mm256_shuffle_epi8(terms.add, term));
      return _mm256_subs_epu8(up, _mm256_shuffle_epi8(terms.sub, term));
    };
    const __m256i first = Avx2::LoadLanes(p, p + 32);
    const __m256i last = Avx2::LoadLanes(p + 16, p + 48);
    const ChromaTerms first_terms = YuvChromaTerms<kYOffset>(first);
    const ChromaTerms last_terms = YuvChromaTerms<kYOffset>(last);
    // The middle chunk's pairs 2, 3 and 4, 5 sit in the other two windows'
    // dwords 1, 3 and 0, 2.
    const ChromaTerms middle_terms = {_mm256_blend_epi32(first_terms.add, last_terms.add, 0x55),
                                      _mm256_blend_epi32(first_terms.sub, last_terms.sub, 0x55)};
    Avx2::StoreChunks(dst + size_t{3} * x, chunk(0, first, first_terms),
                      chunk(1, Avx2::LoadLanes(p + 8, p + 40), middle_terms),
                      chunk(2, last, last_terms));
  });
  YuvSpanToBgr<kYOffset>(src, dst, pairs_end, width);
}

}  // namespace

// RGB to BGR stays on SSSE3: it already runs at memcpy speed, and lanes
// need two shuffles per 16 output bytes (each takes 18 source bytes).
void InstallAvx2ColourKernels(Kernels& k) {
  k.rgba_to_bgr = QuadToBgrRow<0, 2>;
  k.bgra_to_bgr = QuadToBgrRow<2, 0>;
  k.rgb_to_mono = ColourToMonoRow<3, 0, 2>;
  k.bgr_to_mono = ColourToMonoRow<3, 2, 0>;
  k.rgba_to_mono = ColourToMonoRow<4, 0, 2>;
  k.bgra_to_mono = ColourToMonoRow<4, 2, 0>;
  // Y is the low (YUYV) or high (UYVY) byte of each 16-bit word.
  k.yuyv_to_mono = Mono16Row<Avx2, 0>;
  k.uyvy_to_mono = Mono16Row<Avx2, 8>;
  k.yuyv_to_bgr = YuvToBgrRow<0>;
  k.uyvy_to_bgr = YuvToBgrRow<1>;
}

}  // namespace pixvane

#include "simd/target_end.h"

#else
namespace pixvane {
void InstallAvx2ColourKernels(Kernels&) {}
}  // namespace pixvane
#endif
