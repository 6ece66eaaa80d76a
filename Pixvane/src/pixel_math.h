// Per-pixel arithmetic shared by every kernel level, so the vector kernels'
// edges and tails compute exactly what the portable kernels compute.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kernels.h"

namespace pixvane {

// BT.601 luma weights in 1/256; they add up to 256, so gray stays gray.
inline constexpr uint32_t kLumaR = 77;
inline constexpr uint32_t kLumaG = 150;
inline constexpr uint32_t kLumaB = 29;

inline uint8_t Luma(uint32_t r, uint32_t g, uint32_t b) {
  return static_cast<uint8_t>((kLumaR * r + kLumaG * g + kLumaB * b + 128) >> 8);
}

// BT.601 full-range YUV to RGB, coefficients in 1/65536.
inline constexpr int32_t kVtoR = 91881;   // 1.402
inline constexpr int32_t kUtoG = 22554;   // 0.344136
inline constexpr int32_t kVtoG = 46802;   // 0.714136
inline constexpr int32_t kUtoB = 116130;  // 1.772

inline uint8_t ClampToByte(int32_t v) {
  return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
}

inline void YuvToBgr(int32_t y, int32_t u, int32_t v, uint8_t* bgr) {
  const int32_t du = u - 128;
  const int32_t dv = v - 128;
  bgr[0] = ClampToByte(y + ((kUtoB * du + 32768) >> 16));
  bgr[1] = ClampToByte(y + ((32768 - kUtoG * du - kVtoG * dv) >> 16));
  bgr[2] = ClampToByte(y + ((kVtoR * dv + 32768) >> 16));
}

// Samples [begin, end) of an LSB-first stream of kBits-bit samples, as
// their most significant 8 bits.
template <unsigned kBits>
void BitStreamSpanToMono8(const uint8_t* src, uint8_t* dst, uint32_t begin, uint32_t end) {
  for (uint32_t x = begin; x < end; ++x) {
    const uint32_t bit = x * kBits;
    const uint32_t pair = src[bit / 8] | (uint32_t{src[bit / 8 + 1]} << 8);
    dst[x] = static_cast<uint8_t>(pair >> (bit % 8 + kBits - 8));
  }
}

// Pixels [begin, end) of a row of kStep-byte colour pixels whose red and
// blue bytes sit at kR and kB (green at 1).
template <unsigned kStep, unsigned kR, unsigned kB>
void ColourSpanToBgr(const uint8_t* src, uint8_t* dst, uint32_t begin, uint32_t end) {
  for (uint32_t x = begin; x < end; ++x) {
    dst[3 * x] = src[kStep * x + kB];
    dst[3 * x + 1] = src[kStep * x + 1];
    dst[3 * x + 2] = src[kStep * x + kR];
  }
}

template <unsigned kStep, unsigned kR, unsigned kB>
void ColourSpanToMono(const uint8_t* src, uint8_t* dst, uint32_t begin, uint32_t end) {
  for (uint32_t x = begin; x < end; ++x)
    dst[x] = Luma(src[kStep * x + kR], src[kStep * x + 1], src[kStep * x + kB]);
}

// Pixels [begin, width) of a YUV 4:2:2 row, begin even.  kYOffset 0:
// Y0 U Y1 V; 1: U Y0 V Y1.
template <unsigned kYOffset>
void YuvSpanToBgr(const uint8_t* src, uint8_t* dst, uint32_t begin, uint32_t width) {
  constexpr unsigned kU = 1 - kYOffset;
  constexpr unsigned kV = kU + 2;
  uint32_t x = begin;
  src += size_t{2} * x;
  dst += size_t{3} * x;
  for (; x + 1 < width; x += 2, src += 4, dst += 6) {
    YuvToBgr(src[kYOffset], src[kU], src[kV], dst);
    YuvToBgr(src[kYOffset + 2], src[kU], src[kV], dst + 3);
  }
  if (x < width) {
    // An odd row ends with Y and U only; borrow V from the pair before it,
    // or take neutral chroma when there is none.
    const int32_t v = x > 0 ? src[static_cast<int>(kV) - 4] : 128;
    YuvToBgr(src[kYOffset], src[kU], v, dst);
  }
}

struct Bgr {
  uint32_t b, g, r;
};

// Bilinear demosaicing of pixel x of row `cur`; `l` and `r` are the columns
// to its left and right after mirroring at the row's ends.
inline Bgr DemosaicPixel(const uint8_t* up, const uint8_t* cur, const uint8_t* down, uint32_t l,
                         uint32_t x, uint32_t r, BayerRowKind kind) {
  const uint32_t c = cur[x];
  const uint32_t horz = cur[l] + cur[r];
  const uint32_t vert = up[x] + down[x];
  const bool green = ((x & 1u) != 0) != kind.green_first;
  uint32_t g, own, other;  // own: the colour this row carries; other: the one it lacks
  if (green) {
    g = c;
    own = (horz + 1) >> 1;
    other = (vert + 1) >> 1;
  } else {
    g = (horz + vert + 2) >> 2;
    own = c;
    other = (up[l] + up[r] + down[l] + down[r] + 2) >> 2;
  }
  return kind.red_row ? Bgr{other, g, own} : Bgr{own, g, other};
}

// Neighbour columns of x after mirroring the pattern at the row's ends:
// column -1 reads column 1 and column `width` reads column width-2, which
// carry the same filter colour.  A one-pixel row has no neighbour at all.
inline uint32_t LeftOf(uint32_t x, uint32_t width) {
  return x > 0 ? x - 1 : (width > 1 ? 1 : 0);
}
inline uint32_t RightOf(uint32_t x, uint32_t width) {
  return x + 1 < width ? x + 1 : (width > 1 ? width - 2 : 0);
}

// Demosaics columns [begin, end) of a row with mirrored edges.
inline void DemosaicSpanToBgr(const uint8_t* up, const uint8_t* cur, const uint8_t* down,
                              uint8_t* dst, uint32_t width, BayerRowKind kind, uint32_t begin,
                              uint32_t end) {
  for (uint32_t x = begin; x < end; ++x) {
    const Bgr p = DemosaicPixel(up, cur, down, LeftOf(x, width), x, RightOf(x, width), kind);
    dst[3 * x] = static_cast<uint8_t>(p.b);
    dst[3 * x + 1] = static_cast<uint8_t>(p.g);
    dst[3 * x + 2] = static_cast<uint8_t>(p.r);
  }
}

inline void DemosaicSpanToMono(const uint8_t* up, const uint8_t* cur, const uint8_t* down,
                               uint8_t* dst, uint32_t width, BayerRowKind kind, uint32_t begin,
                               uint32_t end) {
  for (uint32_t x = begin; x < end; ++x) {
    const Bgr p = DemosaicPixel(up, cur, down, LeftOf(x, width), x, RightOf(x, width), kind);
    dst[x] = Luma(p.r, p.g, p.b);
  }
}

}  // namespace pixvane
