#include "pixel_kernels.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define HACQ_X86_KERNELS 1
#endif

namespace {

void WidenPortable(const uint8_t* src, uint8_t* dst, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) {
    const uint8_t v = src[i];
    dst[3 * i] = v;
    dst[3 * i + 1] = v;
    dst[3 * i + 2] = v;
  }
}

void SplitPortable(const uint8_t* src, uint8_t* a, uint8_t* b, uint8_t* c, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) {
    a[i] = src[3 * i];
    b[i] = src[3 * i + 1];
    c[i] = src[3 * i + 2];
  }
}

void ExtractPortable(const uint8_t* src, uint8_t* dst, size_t pixels, int channel) {
  src += channel;
  for (size_t i = 0; i < pixels; ++i) dst[i] = src[3 * i];
}

constexpr PixelKernels kPortable{WidenPortable, SplitPortable, ExtractPortable};

#ifdef HACQ_X86_KERNELS

// Shuffle masks for 16 triples held in three 16-byte blocks x0, x1, x2:
// kPick[channel][block] moves that block's bytes of the channel to their
// place among the 16 results; -128 leaves a zero for the other blocks.
alignas(16) constexpr int8_t kPick[3][3][16] = {
    {{0, 3, 6, 9, 12, 15, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128},
     {-128, -128, -128, -128, -128, -128, 2, 5, 8, 11, 14, -128, -128, -128, -128, -128},
     {-128, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128, 1, 4, 7, 10, 13}},
    {{1, 4, 7, 10, 13, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128},
     {-128, -128, -128, -128, -128, 0, 3, 6, 9, 12, 15, -128, -128, -128, -128, -128},
     {-128, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128, 2, 5, 8, 11, 14}},
    {{2, 5, 8, 11, 14, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128, -128},
     {-128, -128, -128, -128, -128, 1, 4, 7, 10, 13, -128, -128, -128, -128, -128, -128},
     {-128, -128, -128, -128, -128, -128, -128, -128, -128, -128, 0, 3, 6, 9, 12, 15}},
};

// Widening: output bytes 16k..16k+15 of 16 pixels take pixel (16k+j)/3.
alignas(16) constexpr int8_t kWiden[3][16] = {
    {0, 0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5},
    {5, 5, 6, 6, 6, 7, 7, 7, 8, 8, 8, 9, 9, 9, 10, 10},
    {10, 11, 11, 11, 12, 12, 12, 13, 13, 13, 14, 14, 14, 15, 15, 15},
};

__attribute__((target("ssse3"))) __m128i Mask128(const int8_t* m) {
  return _mm_load_si128(reinterpret_cast<const __m128i*>(m));
}

__attribute__((target("ssse3"))) __m128i Gather128(__m128i x0, __m128i x1, __m128i x2,
                                                   const int8_t (*pick)[16]) {
  return _mm_or_si128(
      _mm_or_si128(_mm_shuffle_epi8(x0, Mask128(pick[0])), _mm_shuffle_epi8(x1, Mask128(pick[1]))),
      _mm_shuffle_epi8(x2, Mask128(pick[2])));
}

__attribute__((target("ssse3"))) void WidenSsse3(const uint8_t* src, uint8_t* dst, size_t pixels) {
  const __m128i m0 = Mask128(kWiden[0]), m1 = Mask128(kWiden[1]), m2 = Mask128(kWiden[2]);
  size_t i = 0;
  for (; i + 16 <= pixels; i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
    __m128i* out = reinterpret_cast<__m128i*>(dst + 3 * i);
    _mm_storeu_si128(out, _mm_shuffle_epi8(v, m0));
    _mm_storeu_si128(out + 1, _mm_shuffle_epi8(v, m1));
    _mm_storeu_si128(out + 2, _mm_shuffle_epi8(v, m2));
  }
  WidenPortable(src + i, dst + 3 * i, pixels - i);
}

__attribute__((target("ssse3"))) void SplitSsse3(const uint8_t* src, uint8_t* a, uint8_t* b,
                                                 uint8_t* c, size_t pixels) {
  size_t i = 0;
  for (; i + 16 <= pixels; i += 16) {
    const __m128i* in = reinterpret_cast<const __m128i*>(src + 3 * i);
    const __m128i x0 = _mm_loadu_si128(in), x1 = _mm_loadu_si128(in + 1),
                  x2 = _mm_loadu_si128(in + 2);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(a + i), Gather128(x0, x1, x2, kPick[0]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(b + i), Gather128(x0, x1, x2, kPick[1]));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(c + i), Gather128(x0, x1, x2, kPick[2]));
  }
  SplitPortable(src + 3 * i, a + i, b + i, c + i, pixels - i);
}

__attribute__((target("ssse3"))) void ExtractSsse3(const uint8_t* src, uint8_t* dst, size_t pixels,
                                                   int channel) {
  const int8_t(*pick)[16] = kPick[channel];
  size_t i = 0;
  for (; i + 16 <= pixels; i += 16) {
    const __m128i* in = reinterpret_cast<const __m128i*>(src + 3 * i);
    _mm_storeu_si128(
        reinterpret_cast<__m128i*>(dst + i),
        Gather128(_mm_loadu_si128(in), _mm_loadu_si128(in + 1), _mm_loadu_si128(in + 2), pick));
  }
  ExtractPortable(src + 3 * i, dst + i, pixels - i, channel);
}

// The AVX2 variants run the 16-pixel shuffles of SSSE3 in both 128-bit lanes
// at once: lane 0 holds pixels 0..15, lane 1 pixels 16..31 of a block.
__attribute__((target("avx2"))) __m256i Mask256(const int8_t* m) {
  return _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(m)));
}

__attribute__((target("avx2"))) __m256i Load2x128(const uint8_t* low, const uint8_t* high) {
  return _mm256_inserti128_si256(
      _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(low))),
      _mm_loadu_si128(reinterpret_cast<const __m128i*>(high)), 1);
}

__attribute__((target("avx2"))) __m256i Gather256(__m256i y0, __m256i y1, __m256i y2,
                                                  const int8_t (*pick)[16]) {
  return _mm256_or_si256(_mm256_or_si256(_mm256_shuffle_epi8(y0, Mask256(pick[0])),
                                         _mm256_shuffle_epi8(y1, Mask256(pick[1]))),
                         _mm256_shuffle_epi8(y2, Mask256(pick[2])));
}

__attribute__((target("avx2"))) void WidenAvx2(const uint8_t* src, uint8_t* dst, size_t pixels) {
  // Output bytes 32k..32k+31 take pixels (32k+j)/3: the first block from
  // the low half of the input repeated in both lanes, the middle one from
  // the input as loaded, the last from the high half repeated.
  const __m256i first = _mm256_setr_m128i(Mask128(kWiden[0]), Mask128(kWiden[1]));
  const __m256i middle = _mm256_setr_m128i(Mask128(kWiden[2]), Mask128(kWiden[0]));
  const __m256i last = _mm256_setr_m128i(Mask128(kWiden[1]), Mask128(kWiden[2]));
  size_t i = 0;
  for (; i + 32 <= pixels; i += 32) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + i));
    const __m256i low = _mm256_permute2x128_si256(v, v, 0x00);
    const __m256i high = _mm256_permute2x128_si256(v, v, 0x11);
    __m256i* out = reinterpret_cast<__m256i*>(dst + 3 * i);
    _mm256_storeu_si256(out, _mm256_shuffle_epi8(low, first));
    _mm256_storeu_si256(out + 1, _mm256_shuffle_epi8(v, middle));
    _mm256_storeu_si256(out + 2, _mm256_shuffle_epi8(high, last));
  }
  WidenSsse3(src + i, dst + 3 * i, pixels - i);
}

__attribute__((target("avx2"))) void SplitAvx2(const uint8_t* src, uint8_t* a, uint8_t* b,
                                               uint8_t* c, size_t pixels) {
  size_t i = 0;
  for (; i + 32 <= pixels; i += 32) {
    const uint8_t* s = src + 3 * i;
    const __m256i y0 = Load2x128(s, s + 48), y1 = Load2x128(s + 16, s + 64),
                  y2 = Load2x128(s + 32, s + 80);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(a + i), Gather256(y0, y1, y2, kPick[0]));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(b + i), Gather256(y0, y1, y2, kPick[1]));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(c + i), Gather256(y0, y1, y2, kPick[2]));
  }
  SplitSsse3(src + 3 * i, a + i, b + i, c + i, pixels - i);
}

__attribute__((target("avx2"))) void ExtractAvx2(const uint8_t* src, uint8_t* dst, size_t pixels,
                                                 int channel) {
  const int8_t(*pick)[16] = kPick[channel];
  size_t i = 0;
  for (; i + 32 <= pixels; i += 32) {
    const uint8_t* s = src + 3 * i;
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + i),
                        Gather256(Load2x128(s, s + 48), Load2x128(s + 16, s + 64),
                                  Load2x128(s + 32, s + 80), pick));
  }
  ExtractSsse3(src + 3 * i, dst + i, pixels - i, channel);
}

// AVX-512 VBMI: byte permutes across the whole register, 64 pixels per
// step.  Plane byte i is source byte 3i + channel of 192: a first permute
// takes it from the first 128 source bytes, a second one from the last 64.
struct PermuteIndexes {
  uint8_t low[3][64];   // from source bytes 0..127
  uint8_t high[3][64];  // the first permute's result, or source bytes 128..191
};

constexpr PermuteIndexes MakePermuteIndexes() {
  PermuteIndexes t{};
  for (int channel = 0; channel < 3; ++channel)
    for (int i = 0; i < 64; ++i) {
      const int byte = 3 * i + channel;
      t.low[channel][i] = static_cast<uint8_t>(byte < 128 ? byte : 0);
      t.high[channel][i] = static_cast<uint8_t>(byte < 128 ? i : 64 + byte - 128);
    }
  return t;
}
alignas(64) constexpr PermuteIndexes kPermute = MakePermuteIndexes();

#define HACQ_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

HACQ_VBMI __m512i PlaneVbmi(__m512i x0, __m512i x1, __m512i x2, int channel) {
  const __m512i low = _mm512_load_si512(kPermute.low[channel]);
  const __m512i high = _mm512_load_si512(kPermute.high[channel]);
  return _mm512_permutex2var_epi8(_mm512_permutex2var_epi8(x0, low, x1), high, x2);
}

HACQ_VBMI void SplitVbmi(const uint8_t* src, uint8_t* a, uint8_t* b, uint8_t* c, size_t pixels) {
  size_t i = 0;
  for (; i + 64 <= pixels; i += 64) {
    const uint8_t* s = src + 3 * i;
    const __m512i x0 = _mm512_loadu_si512(s), x1 = _mm512_loadu_si512(s + 64),
                  x2 = _mm512_loadu_si512(s + 128);
    _mm512_storeu_si512(a + i, PlaneVbmi(x0, x1, x2, 0));
    _mm512_storeu_si512(b + i, PlaneVbmi(x0, x1, x2, 1));
    _mm512_storeu_si512(c + i, PlaneVbmi(x0, x1, x2, 2));
  }
  SplitAvx2(src + 3 * i, a + i, b + i, c + i, pixels - i);
}

HACQ_VBMI void ExtractVbmi(const uint8_t* src, uint8_t* dst, size_t pixels, int channel) {
  size_t i = 0;
  for (; i + 64 <= pixels; i += 64) {
    const uint8_t* s = src + 3 * i;
    _mm512_storeu_si512(dst + i, PlaneVbmi(_mm512_loadu_si512(s), _mm512_loadu_si512(s + 64),
                                           _mm512_loadu_si512(s + 128), channel));
  }
  ExtractAvx2(src + 3 * i, dst + i, pixels - i, channel);
}

// Widening: output byte j of 192 takes pixel j / 3 of 64.
struct WidenIndexes {
  uint8_t part[3][64];
};
constexpr WidenIndexes MakeWidenIndexes() {
  WidenIndexes t{};
  for (int k = 0; k < 3; ++k)
    for (int j = 0; j < 64; ++j) t.part[k][j] = static_cast<uint8_t>((64 * k + j) / 3);
  return t;
}
alignas(64) constexpr WidenIndexes kWiden512 = MakeWidenIndexes();

HACQ_VBMI void WidenVbmi(const uint8_t* src, uint8_t* dst, size_t pixels) {
  const __m512i p0 = _mm512_load_si512(kWiden512.part[0]);
  const __m512i p1 = _mm512_load_si512(kWiden512.part[1]);
  const __m512i p2 = _mm512_load_si512(kWiden512.part[2]);
  size_t i = 0;
  for (; i + 64 <= pixels; i += 64) {
    const __m512i v = _mm512_loadu_si512(src + i);
    uint8_t* out = dst + 3 * i;
    _mm512_storeu_si512(out, _mm512_permutex2var_epi8(v, p0, v));
    _mm512_storeu_si512(out + 64, _mm512_permutex2var_epi8(v, p1, v));
    _mm512_storeu_si512(out + 128, _mm512_permutex2var_epi8(v, p2, v));
  }
  WidenAvx2(src + i, dst + 3 * i, pixels - i);
}

constexpr PixelKernels kSsse3{WidenSsse3, SplitSsse3, ExtractSsse3};
constexpr PixelKernels kAvx2{WidenAvx2, SplitAvx2, ExtractAvx2};
constexpr PixelKernels kVbmi{WidenVbmi, SplitVbmi, ExtractVbmi};

bool HasSsse3() {
  return __builtin_cpu_supports("ssse3");
}
bool HasAvx2() {
  return __builtin_cpu_supports("avx2");
}
bool HasVbmi() {
  return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
         __builtin_cpu_supports("avx512vbmi");
}

#endif

}  // namespace

const PixelKernels& PortableKernels() {
  return kPortable;
}

size_t AvailableKernels(const PixelKernels** variants, const char** names, size_t capacity) {
  size_t n = 0;
  auto add = [&](const PixelKernels& k, const char* name) {
    if (n < capacity) {
      variants[n] = &k;
      names[n] = name;
    }
    ++n;
  };
  add(kPortable, "portable");
#ifdef HACQ_X86_KERNELS
  if (HasSsse3()) add(kSsse3, "ssse3");
  if (HasAvx2()) add(kAvx2, "avx2");
  if (HasAvx2() && HasVbmi()) add(kVbmi, "avx512vbmi");
#endif
  return n < capacity ? n : capacity;
}

const PixelKernels& Kernels() {
  static const PixelKernels* const chosen = [] {
    const PixelKernels* variants[8];
    const char* names[8];
    const size_t n = AvailableKernels(variants, names, 8);
    return variants[n - 1];
  }();
  return *chosen;
}
