// The SSSE3 vector of the kernels: 16 byte lanes.  Include it only where
// the SSSE3 target is in force, after simd/shuffle_masks.h (whose portable
// functions must not be compiled for SSSE3); everything here is local to
// the including unit, so no SSSE3 code can merge into a portable one.
#pragma once

#include <immintrin.h>

#include <array>
#include <cstdint>

#include "simd/shuffle_masks.h"

namespace simd {
namespace {

__m128i LoadTable(const std::array<uint8_t, 16>& t) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.data()));
}

struct Ssse3 {
  using Reg = __m128i;
  using Mask = __m128i;
  static constexpr uint32_t N = 16;

  static Reg Load(const uint8_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
  static void Store(uint8_t* p, Reg v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
  static Reg Set1(uint8_t v) { return _mm_set1_epi8(static_cast<char>(v)); }
  static Reg Set1W(uint16_t v) { return _mm_set1_epi16(static_cast<short>(v)); }
  static Reg Avg(Reg a, Reg b) { return _mm_avg_epu8(a, b); }
  static Reg And(Reg a, Reg b) { return _mm_and_si128(a, b); }
  static Reg Xor(Reg a, Reg b) { return _mm_xor_si128(a, b); }
  static Reg SubB(Reg a, Reg b) { return _mm_sub_epi8(a, b); }
  static Reg OrXor(Reg a, Reg b, Reg c) { return _mm_or_si128(a, _mm_xor_si128(b, c)); }
  static Reg AndXor(Reg a, Reg b, Reg c) { return _mm_and_si128(a, _mm_xor_si128(b, c)); }
  static Reg MulAddPairs(Reg bytes, Reg weights) { return _mm_maddubs_epi16(bytes, weights); }
  static Reg MulLoW(Reg a, Reg b) { return _mm_mullo_epi16(a, b); }
  static Reg AddW(Reg a, Reg b) { return _mm_add_epi16(a, b); }
  template <int kBits>
  static Reg SrliW(Reg a) {
    return _mm_srli_epi16(a, kBits);
  }
  static Mask AlternateBytes(bool first_set) { return Set1W(first_set ? 0x00FF : 0xFF00); }
  static Reg Blend(Mask m, Reg if_set, Reg if_clear) {
    return _mm_or_si128(_mm_and_si128(m, if_set), _mm_andnot_si128(m, if_clear));
  }

  static void StoreBgr(uint8_t* dst, Reg b, Reg g, Reg r) {
    static constexpr std::array<uint8_t, 16> kMasks[3][3] = {
        {InterleaveMask16(0, 0), InterleaveMask16(0, 1), InterleaveMask16(0, 2)},
        {InterleaveMask16(1, 0), InterleaveMask16(1, 1), InterleaveMask16(1, 2)},
        {InterleaveMask16(2, 0), InterleaveMask16(2, 1), InterleaveMask16(2, 2)}};
    for (int c = 0; c < 3; ++c) {
      const Reg chunk = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(b, LoadTable(kMasks[c][0])),
                                                  _mm_shuffle_epi8(g, LoadTable(kMasks[c][1]))),
                                     _mm_shuffle_epi8(r, LoadTable(kMasks[c][2])));
      Store(dst + 16 * c, chunk);
    }
  }

  // The inverse of StoreBgr: 3N bytes of triples into their three planes.
  static void LoadBgr(const uint8_t* src, Reg& b, Reg& g, Reg& r) {
    static constexpr std::array<uint8_t, 16> kMasks[3][3] = {
        {DeinterleaveMask16(0, 0), DeinterleaveMask16(1, 0), DeinterleaveMask16(2, 0)},
        {DeinterleaveMask16(0, 1), DeinterleaveMask16(1, 1), DeinterleaveMask16(2, 1)},
        {DeinterleaveMask16(0, 2), DeinterleaveMask16(1, 2), DeinterleaveMask16(2, 2)}};
    const Reg chunk[3] = {Load(src), Load(src + 16), Load(src + 32)};
    Reg plane[3];
    for (int c = 0; c < 3; ++c)
      plane[c] = _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(chunk[0], LoadTable(kMasks[c][0])),
                                           _mm_shuffle_epi8(chunk[1], LoadTable(kMasks[c][1]))),
                              _mm_shuffle_epi8(chunk[2], LoadTable(kMasks[c][2])));
    b = plane[0];
    g = plane[1];
    r = plane[2];
  }

  static void StoreGrayBgr(uint8_t* dst, Reg gray) {
    static constexpr std::array<uint8_t, 16> kMasks[3] = {ReplicateMask16(0), ReplicateMask16(1),
                                                          ReplicateMask16(2)};
    for (int c = 0; c < 3; ++c) Store(dst + 16 * c, _mm_shuffle_epi8(gray, LoadTable(kMasks[c])));
  }

  template <unsigned kShift>
  static Reg Msb16(const uint8_t* src) {
    const Reg low = Set1W(0x00FF);
    const Reg a = _mm_and_si128(_mm_srli_epi16(Load(src), kShift), low);
    const Reg b = _mm_and_si128(_mm_srli_epi16(Load(src + 16), kShift), low);
    return _mm_packus_epi16(a, b);
  }

  static Reg PackedMsb(const uint8_t* src) {
    static constexpr auto kFirst = PackedMsbMask16(false);
    static constexpr auto kSecond = PackedMsbMask16(true);
    return _mm_or_si128(_mm_shuffle_epi8(Load(src), LoadTable(kFirst)),
                        _mm_shuffle_epi8(Load(src + 8), LoadTable(kSecond)));
  }
};

}  // namespace
}  // namespace simd
