// The loop of a vector kernel over a row: which N-pixel vectors it stores,
// so that most stores start on an N-byte boundary.  Everything here is local
// to the including unit, so it may be included inside a target region.
#pragma once

#include <cstdint>

namespace simd {
namespace {

// First column x in [0, N) whose output, kOutBytes per pixel from `dst`,
// starts on an N-byte boundary.  Stores that split no cache line are
// markedly cheaper, and rows of most widths start unaligned.
template <uint32_t N, uint32_t kOutBytes>
uint32_t AlignedColumn(const uint8_t* dst) {
  static_assert(kOutBytes == 1 || kOutBytes == 3);
  // 3 is invertible modulo a power of two; find its inverse by trial.
  constexpr uint32_t kInverse = [] {
    uint32_t i = 1;
    while ((i * kOutBytes) % N != 1) ++i;
    return i;
  }();
  const auto misalign = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(dst) % N);
  return ((N - misalign) % N) * kInverse % N;
}

// Calls step(x) for N-pixel vectors covering [0, width), width >= N: one at
// 0, then from the first aligned column (when it is a multiple of kGrain),
// the last overlapping its predecessor; recomputed pixels come out the same.
template <uint32_t N, uint32_t kOutBytes, uint32_t kGrain, class Count, class Step>
void CoverRow(const uint8_t* dst, Count width, Step step) {
  step(0);
  Count x = AlignedColumn<N, kOutBytes>(dst);
  if (x == 0 || x % kGrain != 0) x = N;
  for (; x + N <= width; x += N) step(x);
  if (x < width) step(width - N);
}

}  // namespace
}  // namespace simd
