// AVX2 kernels: 32 pixels per step, shuffled within 128-bit lanes.
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

// LSB-first streams of kBits-bit samples: eight samples take kBits whole
// bytes, so each lane gathers its eight samples' byte pairs from its own 16
// bytes and moves their high 8 bits into the high byte, as the SSSE3 kernel
// does.  Lanes hold samples 0-7 and 16-23, or 8-15 and 24-31, which the
// lane-wise pack then leaves in order.
template <unsigned kBits>
__m256i SixteenHighBytes(const uint8_t* lane0, const uint8_t* lane1) {
  static constexpr BitStreamTables kTables = MakeBitStreamTables(kBits);
  const __m256i bytes = Avx2::LoadLanes(lane0, lane1);
  const __m256i multipliers = _mm256_broadcastsi128_si256(
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(kTables.multipliers.data())));
  const __m256i words = _mm256_shuffle_epi8(bytes, LoadTable(kTables.bytes));
  return _mm256_srli_epi16(_mm256_mullo_epi16(words, multipliers), 8);
}

template <unsigned kBits>
void BitStreamRow(const uint8_t* src, uint8_t* dst, uint32_t width) {
  // Vectors start on multiples of 8 samples, which start on whole bytes.  A
  // vector's last load ends 16 - kBits bytes past its samples, so vectors
  // stop 8 samples (kBits bytes) short of the row's end.
  const uint32_t vector_end = width >= 8 ? (width - 8) & ~7u : 0;
  uint32_t done = 0;
  if (vector_end >= Avx2::N) {
    CoverRow<Avx2::N, 1, 8>(dst, vector_end, [&](uint32_t x) {
      const uint8_t* p = src + x / 8 * kBits;
      Avx2::Store(dst + x, _mm256_packus_epi16(SixteenHighBytes<kBits>(p, p + 2 * kBits),
                                               SixteenHighBytes<kBits>(p + kBits, p + 3 * kBits)));
    });
    done = vector_end;
  }
  BitStreamSpanToMono8<kBits>(src, dst, done, width);
}

}  // namespace

void InstallAvx2Kernels(Kernels& k) {
  InstallVectorKernels<Avx2>(k);
  InstallAvx2ColourKernels(k);
  k.p10_to_8 = BitStreamRow<10>;
  k.p12_to_8 = BitStreamRow<12>;
}

}  // namespace pixvane

#include "simd/target_end.h"

#else
namespace pixvane {
void InstallAvx2Kernels(Kernels&) {}
}  // namespace pixvane
#endif
