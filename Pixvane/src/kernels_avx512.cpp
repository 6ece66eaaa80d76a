// AVX-512 kernels (with byte permutes, AVX512-VBMI): 64 pixels per step.
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
using simd::LoadTable;
using simd::Table64;

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

#include "simd/target_end.h"

#else
namespace pixvane {
void InstallAvx512Kernels(Kernels&) {}
}  // namespace pixvane
#endif
