// AVX-512 kernels (with byte permutes, AVX512-VBMI): 64 pixels per step.
#include <array>

#include "kernels.h"
#include "pixel_math.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// Everything below, and only that, may use AVX-512; shared inline helpers
// were included above so their out-of-line copies stay portable.
#if !defined(__clang__)
// GCC 12's AVX-512 intrinsics start from deliberately undefined registers,
// which these warnings mistake for uninitialised use.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw,avx512vbmi"))), \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vbmi")
#endif

#include "vector_kernels.h"

namespace pixvane {
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

  static void StoreGrayBgr(uint8_t* dst, Reg gray) {
    static constexpr Table64 kTables[3] = {Replicate(0), Replicate(1), Replicate(2)};
    for (int c = 0; c < 3; ++c)
      Store(dst + 64 * c, _mm512_permutexvar_epi8(LoadTable(kTables[c]), gray));
  }

  template <unsigned kShift>
  static Reg Msb16(const uint8_t* src) {
    // One permute gathers the wanted byte of each 16-bit value from both
    // registers; for 16-bit samples that is the high byte, unshifted.
    static constexpr Table64 kIndex = EveryOtherByte(kShift == 8 ? 1 : 0);
    Reg a = Load(src), b = Load(src + 64);
    if constexpr (kShift != 8) {
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

// LSB-first streams of kBits-bit samples (Mono10p, Mono12p and their Bayer
// kin).  64 samples take 8 * kBits bytes, and every 8 samples start on a
// byte, so qword j of a gather can hold the bytes of samples 8j..8j+3
// (first gather) or 8j+4..8j+7 (second); one bit-field select per byte
// (vpmultishiftqb) then lifts each sample's high 8 bits into place.
template <unsigned kBits>
struct BitStreamTables64 {
  static_assert(kBits == 10 || kBits == 12);
  static constexpr uint32_t kBytes = 8 * kBits;  // per 64 samples

  // Qword j: kBits * j + `start` onwards; bytes past the 64 samples' share
  // are never selected, so they repeat the last one.
  static constexpr Table64 Gather(uint32_t start) {
    Table64 t{};
    for (uint32_t i = 0; i < 64; ++i) {
      const uint32_t byte = kBits * (i / 8) + start + i % 8;
      t[i] = static_cast<uint8_t>(byte < kBytes ? byte : kBytes - 1);
    }
    return t;
  }

  // Byte k of each qword: the bit offset of sample k % 4's high 8 bits.
  static constexpr Table64 Offsets() {
    Table64 t{};
    for (uint32_t i = 0; i < 64; ++i) t[i] = static_cast<uint8_t>(i % 4 * kBits + kBits - 8);
    return t;
  }
};

template <unsigned kBits>
Avx512::Reg BitStreamMsb(const uint8_t* src) {
  using Tables = BitStreamTables64<kBits>;
  static constexpr Table64 kFirst = Tables::Gather(0), kSecond = Tables::Gather(kBits / 2);
  static constexpr Table64 kOffsets = Tables::Offsets();
  // The bytes past the first 64: 16 for 10 bits, 32 for 12; read no more.
  __m512i tail;
  if constexpr (kBits == 10)
    tail = _mm512_zextsi128_si512(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 64)));
  else
    tail = _mm512_zextsi256_si512(Avx512::LoadHalf(src + 64));
  const __m512i head = Avx512::Load(src);
  const __m512i offsets = LoadTable(kOffsets);
  const __m512i first = _mm512_permutex2var_epi8(head, LoadTable(kFirst), tail);
  const __m512i second = _mm512_permutex2var_epi8(head, LoadTable(kSecond), tail);
  return _mm512_mask_multishift_epi64_epi8(_mm512_multishift_epi64_epi8(offsets, first),
                                           0xF0F0F0F0F0F0F0F0ull, offsets, second);
}

template <unsigned kBits>
void BitStreamRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  // Vectors start on multiples of 8 samples, which start on whole bytes.
  const uint32_t whole_bytes_end = width & ~7u;
  uint32_t done = 0;
  if (whole_bytes_end >= Avx512::N) {
    CoverRow<Avx512::N, 1, 8>(dst, whole_bytes_end, [&](uint32_t x) {
      Avx512::Store(dst + x, BitStreamMsb<kBits>(src + x / 8 * kBits));
    });
    done = whole_bytes_end;
  }
  BitStreamSpanToMono8<kBits>(src, dst, done, width);
}

}  // namespace

void InstallAvx512Kernels(Kernels& k) {
  InstallVectorKernels<Avx512>(k);
  k.p10_to_8 = BitStreamRow<10>;
  k.p12_to_8 = BitStreamRow<12>;
  InstallAvx512ColourKernels(k);
}

}  // namespace pixvane

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else
namespace pixvane {
void InstallAvx512Kernels(Kernels&) {}
}  // namespace pixvane
#endif
