// The AVX-512 vector of the kernels (64 byte lanes, with the byte
// permutes of AVX512-VBMI) and its permute tables.  Include it only where
// the AVX-512 target is in force; everything here is local to the including
// unit, so no AVX-512 code can merge into a portable one.
#pragma once

#include <immintrin.h>

#include <array>
#include <cstdint>

namespace simd {
namespace {

using Table64 = std::array<uint8_t, 64>;

// Output chunk `chunk` (64 bytes) of 64 blue-green-red pixels, first pass:
// blue from table 0..63, green from 64..127; red places hold anything.
constexpr Table64 BlueGreenPass(int chunk) {
  Table64 t{};
  for (int i = 0; i < 64; ++i) {
    const int j = 64 * chunk + i;
    t[i] = static_cast<uint8_t>(j % 3 == 0 ? j / 3 : (j % 3 == 1 ? 64 + j / 3 : 0));
  }
  return t;
}

// Second pass: keep the first pass's bytes, take red from 64..127.
constexpr Table64 RedPass(int chunk) {
  Table64 t{};
  for (int i = 0; i < 64; ++i) {
    const int j = 64 * chunk + i;
    t[i] = static_cast<uint8_t>(j % 3 == 2 ? 64 + j / 3 : i);
  }
  return t;
}

// Plane `channel` of 64 triples held in three registers, first pass: the
// bytes in source bytes 0..127; places of the last register hold anything.
constexpr Table64 PlaneHeadPass(int channel) {
  Table64 t{};
  for (int i = 0; i < 64; ++i) {
    const int j = 3 * i + channel;
    t[i] = static_cast<uint8_t>(j < 128 ? j : 0);
  }
  return t;
}

// Second pass: keep the first pass's bytes, take the rest from source
// bytes 128..191.
constexpr Table64 PlaneTailPass(int channel) {
  Table64 t{};
  for (int i = 0; i < 64; ++i) {
    const int j = 3 * i + channel;
    t[i] = static_cast<uint8_t>(j < 128 ? i : 64 + j - 128);
  }
  return t;
}

constexpr Table64 Replicate(int chunk) {
  Table64 t{};
  for (int i = 0; i < 64; ++i) t[i] = static_cast<uint8_t>((64 * chunk + i) / 3);
  return t;
}

constexpr Table64 EveryOtherByte(int first) {
  Table64 t{};
  for (int i = 0; i < 64; ++i) t[i] = static_cast<uint8_t>(2 * i + first);
  return t;
}

// The two high-bit bytes of each GigE Vision packed pair in 96 source bytes.
constexpr Table64 PackedMsbIndex() {
  Table64 t{};
  for (int i = 0; i < 64; ++i) t[i] = static_cast<uint8_t>(3 * (i / 2) + 2 * (i & 1));
  return t;
}

__m512i LoadTable(const Table64& t) {
  return _mm512_loadu_si512(t.data());
}

struct Avx512 {
  using Reg = __m512i;
  using Mask = __mmask64;
  static constexpr uint32_t N = 64;

  // In 256-bit halves: these loads rarely sit on a 64-byte boundary, and
  // some processors take far longer over one 512-bit load that splits a
  // cache line than over two halves (measured: Bayer rows twice as fast).
  static __m256i LoadHalf(const uint8_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
  }
  static Reg Load(const uint8_t* p) {
    return _mm512_inserti64x4(_mm512_castsi256_si512(LoadHalf(p)), LoadHalf(p + 32), 1);
  }
  static void Store(uint8_t* p, Reg v) { _mm512_storeu_si512(p, v); }
  static Reg Set1(uint8_t v) { return _mm512_set1_epi8(static_cast<char>(v)); }
  static Reg Set1W(uint16_t v) { return _mm512_set1_epi16(static_cast<short>(v)); }
  static Reg Avg(Reg a, Reg b) { return _mm512_avg_epu8(a, b); }
  static Reg And(Reg a, Reg b) { return _mm512_and_si512(a, b); }
  static Reg Xor(Reg a, Reg b) { return _mm512_xor_si512(a, b); }
  static Reg SubB(Reg a, Reg b) { return _mm512_sub_epi8(a, b); }
  // Truth tables over (a, b, c): a|(b^c) and a&(b^c).
  static Reg OrXor(Reg a, Reg b, Reg c) { return _mm512_ternarylogic_epi64(a, b, c, 0xF6); }
  static Reg AndXor(Reg a, Reg b, Reg c) { return _mm512_ternarylogic_epi64(a, b, c, 0x60); }
  static Reg MulAddPairs(Reg bytes, Reg weights) { return _mm512_maddubs_epi16(bytes, weights); }
  static Reg MulLoW(Reg a, Reg b) { return _mm512_mullo_epi16(a, b); }
  static Reg AddW(Reg a, Reg b) { return _mm512_add_epi16(a, b); }
  template <int kBits>
  static Reg SrliW(Reg a) {
    return _mm512_srli_epi16(a, kBits);
  }
  static Mask AlternateBytes(bool first_set) {
    return first_set ? 0x5555555555555555ull : 0xAAAAAAAAAAAAAAAAull;
  }
  static Reg Blend(Mask m, Reg if_set, Reg if_clear) {
    return _mm512_mask_blend_epi8(m, if_clear, if_set);
  }

  static void StoreBgr(uint8_t* dst, Reg b, Reg g, Reg r) {
    static constexpr Table64 kBlueGreen[3] = {BlueGreenPass(0), BlueGreenPass(1), BlueGreenPass(2)};
    static constexpr Table64 kRed[3] = {RedPass(0), RedPass(1), RedPass(2)};
    for (int c = 0; c < 3; ++c) {
      const Reg bg = _mm512_permutex2var_epi8(b, LoadTable(kBlueGreen[c]), g);
      Store(dst + 64 * c, _mm512_permutex2var_epi8(bg, LoadTable(kRed[c]), r));
    }
  }

  // The inverse of StoreBgr: 3N bytes of triples into their three planes.
  static void LoadBgr(const uint8_t* src, Reg& b, Reg& g, Reg& r) {
    static constexpr Table64 kHead[3] = {PlaneHeadPass(0), PlaneHeadPass(1), PlaneHeadPass(2)};
    static constexpr Table64 kTail[3] = {PlaneTailPass(0), PlaneTailPass(1), PlaneTailPass(2)};
    const Reg chunk[3] = {Load(src), Load(src + 64), Load(src + 128)};
    Reg plane[3];
    for (int c = 0; c < 3; ++c) {
      const Reg head = _mm512_permutex2var_epi8(chunk[0], LoadTable(kHead[c]), chunk[1]);
      plane[c] = _mm512_permutex2var_epi8(head, LoadTable(kTail[c]), chunk[2]);
    }
    b = plane[0];
    g = plane[1];
    r = plane[2];
  }

  static void StoreGrayBgr(uint8_t* dst, Reg gray) {
    static constexpr Table64 kTables[3] = {Replicate(0), Replicate(1), Replicate(2)};
    for (int c = 0; c < 3; ++c)
      Store(dst + 64 * c, _mm512_permutexvar_epi8(LoadTable(kTables[c]), gray));
  }

  template <unsigned kShift>
  static Reg Msb16(const uint8_t* src) {
    // One permute gathers the wanted byte of each 16-bit value from both
    // registers; shifts by 0 and 8 are that byte as it stands.
    static constexpr Table64 kIndex = EveryOtherByte(kShift == 8 ? 1 : 0);
    Reg a = Load(src), b = Load(src + 64);
    if constexpr (kShift % 8 != 0) {
      a = _mm512_srli_epi16(a, kShift);
      b = _mm512_srli_epi16(b, kShift);
    }
    return _mm512_permutex2var_epi8(a, LoadTable(kIndex), b);
  }

  static Reg PackedMsb(const uint8_t* src) {
    static constexpr Table64 kIndex = PackedMsbIndex();
    // 96 bytes hold 64 pixels; read no byte past them.
    const Reg tail = _mm512_zextsi256_si512(LoadHalf(src + 64));
    return _mm512_permutex2var_epi8(Load(src), LoadTable(kIndex), tail);
  }
};

}  // namespace
}  // namespace simd
