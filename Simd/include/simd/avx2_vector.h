// The AVX2 vector of the kernels: 32 byte lanes, shuffled within 128-bit
// lanes.  Include it only where the AVX2 target is in force, after
// simd/shuffle_masks.h (whose portable functions must not be compiled for
// AVX2); everything here is local to the including unit, so no AVX2 code
// can merge into a portable one.
#pragma once

#include <immintrin.h>

#include <array>
#include <cstdint>

#include "simd/shuffle_masks.h"

namespace simd {
namespace {

// The same 16-byte table in both lanes.
__m256i LoadTable(const std::array<uint8_t, 16>& t) {
  return _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t.data())));
}

struct Avx2 {
  using Reg = __m256i;
  using Mask = __m256i;
  static constexpr uint32_t N = 32;

  // Each 128-bit lane its own 16 source bytes.
  static Reg LoadLanes(const uint8_t* lane0, const uint8_t* lane1) {
    return _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(lane1),
                               reinterpret_cast<const __m128i*>(lane0));
  }
  static Reg Load(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  }
  static void Store(uint8_t* p, Reg v) { _mm256_storeu_si256(reinterpret_cast<__m256i*>(p), v); }
  static Reg Set1(uint8_t v) { return _mm256_set1_epi8(static_cast<char>(v)); }
  static Reg Set1W(uint16_t v) { return _mm256_set1_epi16(static_cast<short>(v)); }
  static Reg Avg(Reg a, Reg b) { return _mm256_avg_epu8(a, b); }
  static Reg And(Reg a, Reg b) { return _mm256_and_si256(a, b); }
  static Reg Xor(Reg a, Reg b) { return _mm256_xor_si256(a, b); }
  static Reg SubB(Reg a, Reg b) { return _mm256_sub_epi8(a, b); }
  static Reg OrXor(Reg a, Reg b, Reg c) { return _mm256_or_si256(a, _mm256_xor_si256(b, c)); }
  static Reg AndXor(Reg a, Reg b, Reg c) { return _mm256_and_si256(a, _mm256_xor_si256(b, c)); }
  static Reg MulAddPairs(Reg bytes, Reg weights) { return _mm256_maddubs_epi16(bytes, weights); }
  static Reg MulLoW(Reg a, Reg b) { return _mm256_mullo_epi16(a, b); }
  static Reg AddW(Reg a, Reg b) { return _mm256_add_epi16(a, b); }
  template <int kBits>
  static Reg SrliW(Reg a) {
    return _mm256_srli_epi16(a, kBits);
  }
  static Mask AlternateBytes(bool first_set) { return Set1W(first_set ? 0x00FF : 0xFF00); }
  static Reg Blend(Mask m, Reg if_set, Reg if_clear) {
    return _mm256_blendv_epi8(if_clear, if_set, m);
  }

  // Lane-local chunks t0..t2 hold bytes [0,16), [16,32), [32,48) of each
  // lane's 16 pixels; the output needs lane 0's 48 bytes, then lane 1's.
  static void StoreChunks(uint8_t* dst, Reg t0, Reg t1, Reg t2) {
    Store(dst, _mm256_permute2x128_si256(t0, t1, 0x20));
    Store(dst + 32, _mm256_permute2x128_si256(t2, t0, 0x30));
    Store(dst + 64, _mm256_permute2x128_si256(t1, t2, 0x31));
  }

  static void StoreBgr(uint8_t* dst, Reg b, Reg g, Reg r) {
    static constexpr std::array<uint8_t, 16> kMasks[3][3] = {
        {InterleaveMask16(0, 0), InterleaveMask16(0, 1), InterleaveMask16(0, 2)},
        {InterleaveMask16(1, 0), InterleaveMask16(1, 1), InterleaveMask16(1, 2)},
        {InterleaveMask16(2, 0), InterleaveMask16(2, 1), InterleaveMask16(2, 2)}};
    Reg t[3];
    for (int c = 0; c < 3; ++c)
      t[c] = _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(b, LoadTable(kMasks[c][0])),
                                             _mm256_shuffle_epi8(g, LoadTable(kMasks[c][1]))),
                             _mm256_shuffle_epi8(r, LoadTable(kMasks[c][2])));
    StoreChunks(dst, t[0], t[1], t[2]);
  }

  // The inverse of StoreBgr: 3N bytes of triples into their three planes.
  // Each lane takes its 16 pixels' 48 bytes, lane 0 the first half.
  static void LoadBgr(const uint8_t* src, Reg& b, Reg& g, Reg& r) {
    static constexpr std::array<uint8_t, 16> kMasks[3][3] = {
        {DeinterleaveMask16(0, 0), DeinterleaveMask16(1, 0), DeinterleaveMask16(2, 0)},
        {DeinterleaveMask16(0, 1), DeinterleaveMask16(1, 1), DeinterleaveMask16(2, 1)},
        {DeinterleaveMask16(0, 2), DeinterleaveMask16(1, 2), DeinterleaveMask16(2, 2)}};
    const Reg chunk[3] = {LoadLanes(src, src + 48), LoadLanes(src + 16, src + 64),
                          LoadLanes(src + 32, src + 80)};
    Reg plane[3];
    for (int c = 0; c < 3; ++c)
      plane[c] =
          _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(chunk[0], LoadTable(kMasks[c][0])),
                                          _mm256_shuffle_epi8(chunk[1], LoadTable(kMasks[c][1]))),
                          _mm256_shuffle_epi8(chunk[2], LoadTable(kMasks[c][2])));
    b = plane[0];
    g = plane[1];
    r = plane[2];
  }

  static void StoreGrayBgr(uint8_t* dst, Reg gray) {
    static constexpr std::array<uint8_t, 16> kMasks[3] = {ReplicateMask16(0), ReplicateMask16(1),
                                                          ReplicateMask16(2)};
    StoreChunks(dst, _mm256_shuffle_epi8(gray, LoadTable(kMasks[0])),
                _mm256_shuffle_epi8(gray, LoadTable(kMasks[1])),
                _mm256_shuffle_epi8(gray, LoadTable(kMasks[2])));
  }

  template <unsigned kShift>
  static Reg Msb16(const uint8_t* src) {
    const Reg low = Set1W(0x00FF);
    const Reg a = _mm256_and_si256(_mm256_srli_epi16(Load(src), kShift), low);
    const Reg b = _mm256_and_si256(_mm256_srli_epi16(Load(src + 32), kShift), low);
    // packus interleaves the lanes' 64-bit halves; put them back in order.
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(a, b), 0xD8);
  }

  static Reg PackedMsb(const uint8_t* src) {
    static constexpr auto kFirst = PackedMsbMask16(false);
    static constexpr auto kSecond = PackedMsbMask16(true);
    // Each lane's 16 pixels lie in 24 bytes, lane 0's at 0 and lane 1's at
    // 24.  Loads at 0, 8 and 16, blended per lane, give each lane the first
    // and the last 16 of its 24 bytes with no shuffle across lanes, and stay
    // in the 48.  Measured a third faster than shuffling 16-byte halves on
    // rows in cache (the Bayer line buffers); whole frames wait on memory.
    const Reg at0 = Load(src), at8 = Load(src + 8), at16 = Load(src + 16);
    return _mm256_or_si256(
        _mm256_shuffle_epi8(_mm256_blend_epi32(at0, at8, 0xF0), LoadTable(kFirst)),
        _mm256_shuffle_epi8(_mm256_blend_epi32(at8, at16, 0xF0), LoadTable(kSecond)));
  }
};

}  // namespace
}  // namespace simd
