// The kernels written once over a vector type V (simd/*_vector.h) of N byte
// lanes, compiled in each instruction-set unit with that unit's V, a type
// local to the unit, so the instantiations never merge across units.  V
// supplies Load, Store, StoreGrayBgr (N gray bytes as 3N bytes of triples)
// and LoadBgr (3N bytes of triples as three planes).  Runs shorter than N
// take the plain loop; longer ones store N pixels at a time, the last
// vector overlapping its predecessor.
#pragma once

#include <cstddef>
#include <cstdint>

#include "acquisition/pixel_kernels.h"
#include "simd/vector_loop.h"

namespace {

template <class V>
void WidenGrayToBgr(const uint8_t* src, uint8_t* dst, size_t pixels) {
  if (pixels < V::N) {
    for (size_t i = 0; i < pixels; ++i) dst[3 * i] = dst[3 * i + 1] = dst[3 * i + 2] = src[i];
    return;
  }
  simd::CoverRow<V::N, 3, 1>(dst, pixels,
                             [&](size_t x) { V::StoreGrayBgr(dst + 3 * x, V::Load(src + x)); });
}

template <class V>
void SplitPlanes(const uint8_t* src, uint8_t* a, uint8_t* b, uint8_t* c, size_t pixels) {
  if (pixels < V::N) {
    for (size_t i = 0; i < pixels; ++i) {
      a[i] = src[3 * i];
      b[i] = src[3 * i + 1];
      c[i] = src[3 * i + 2];
    }
    return;
  }
  simd::CoverRow<V::N, 1, 1>(a, pixels, [&](size_t x) {
    typename V::Reg plane[3];
    V::LoadBgr(src + 3 * x, plane[0], plane[1], plane[2]);
    V::Store(a + x, plane[0]);
    V::Store(b + x, plane[1]);
    V::Store(c + x, plane[2]);
  });
}

template <class V, int kChannel>
void ExtractPlane(const uint8_t* src, uint8_t* dst, size_t pixels) {
  if (pixels < V::N) {
    for (size_t i = 0; i < pixels; ++i) dst[i] = src[3 * i + kChannel];
    return;
  }
  // The other two planes are computed and dropped; the compiler drops
  // their shuffles too.
  simd::CoverRow<V::N, 1, 1>(dst, pixels, [&](size_t x) {
    typename V::Reg plane[3];
    V::LoadBgr(src + 3 * x, plane[0], plane[1], plane[2]);
    V::Store(dst + x, plane[kChannel]);
  });
}

template <class V>
constexpr PixelKernels VectorPixelKernels() {
  return {WidenGrayToBgr<V>,
          SplitPlanes<V>,
          {ExtractPlane<V, 0>, ExtractPlane<V, 1>, ExtractPlane<V, 2>}};
}

}  // namespace
