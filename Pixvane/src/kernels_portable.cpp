// Portable row kernels: the reference every vector level must match.
#include <cstring>

#include "kernels.h"
#include "pixel_math.h"

namespace pixvane {
namespace {

uint32_t Load16(const uint8_t* p) {
  return p[0] | (uint32_t{p[1]} << 8);
}

template <unsigned kShift>
void Mono16ToMono8(const uint8_t* src, uint8_t* dst, uint32_t width) {
  // Bits above the format's depth are not part of the value.
  for (uint32_t x = 0; x < width; ++x) dst[x] = static_cast<uint8_t>(Load16(src + 2 * x) >> kShift);
}

void PackedToMono8(const uint8_t* src, uint8_t* dst, uint32_t width) {
  // Bytes 0 and 2 of each 3-byte pair hold the high 8 bits of its pixels.
  uint32_t x = 0;
  for (; x + 1 < width; x += 2, src += 3) {
    dst[x] = src[0];
    dst[x + 1] = src[2];
  }
  if (x < width) dst[x] = src[0];
}

template <unsigned kBits>
void BitStreamToMono8(const uint8_t* src, uint8_t* dst, uint32_t width) {
  BitStreamSpanToMono8<kBits>(src, dst, 0, width);
}

void GrayToBgr(const uint8_t* src, uint8_t* dst, uint32_t width) {
  for (uint32_t x = 0; x < width; ++x) dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = src[x];
}

template <unsigned kStep, unsigned kR, unsigned kB>
void ColourToMono(const uint8_t* src, uint8_t* dst, uint32_t width) {
  ColourSpanToMono<kStep, kR, kB>(src, dst, 0, width);
}

template <unsigned kStep, unsigned kR, unsigned kB>
void ColourToBgr(const uint8_t* src, uint8_t* dst, uint32_t width) {
  ColourSpanToBgr<kStep, kR, kB>(src, dst, 0, width);
}

template <unsigned kYOffset>
void YuvRowToMono(const uint8_t* src, uint8_t* dst, uint32_t width) {
  // Full-range Y is the BT.601 luma already.
  for (uint32_t x = 0; x < width; ++x) dst[x] = src[2 * x + kYOffset];
}

template <unsigned kYOffset>
void YuvRowToBgr(const uint8_t* src, uint8_t* dst, uint32_t width) {
  YuvSpanToBgr<kYOffset>(src, dst, 0, width);
}

void BayerToBgr(const uint8_t* up, const uint8_t* cur, const uint8_t* down, uint8_t* dst,
                uint32_t width, BayerRowKind kind) {
  DemosaicSpanToBgr(up, cur, down, dst, width, kind, 0, width);
}

void BayerToMono(const uint8_t* up, const uint8_t* cur, const uint8_t* down, uint8_t* dst,
                 uint32_t width, BayerRowKind kind) {
  DemosaicSpanToMono(up, cur, down, dst, width, kind, 0, width);
}

}  // namespace

void InstallPortableKernels(Kernels& k) {
  k.mono10_to_8 = Mono16ToMono8<2>;
  k.mono12_to_8 = Mono16ToMono8<4>;
  k.mono14_to_8 = Mono16ToMono8<6>;
  k.mono16_to_8 = Mono16ToMono8<8>;
  k.packed_to_8 = PackedToMono8;
  k.p10_to_8 = BitStreamToMono8<10>;
  k.p12_to_8 = BitStreamToMono8<12>;
  k.gray_to_bgr = GrayToBgr;
  k.rgb_to_mono = ColourToMono<3, 0, 2>;
  k.bgr_to_mono = ColourToMono<3, 2, 0>;
  k.rgba_to_mono = ColourToMono<4, 0, 2>;
  k.bgra_to_mono = ColourToMono<4, 2, 0>;
  k.rgb_to_bgr = ColourToBgr<3, 0, 2>;
  k.rgba_to_bgr = ColourToBgr<4, 0, 2>;
  k.bgra_to_bgr = ColourToBgr<4, 2, 0>;
  k.yuyv_to_mono = YuvRowToMono<0>;
  k.uyvy_to_mono = YuvRowToMono<1>;
  k.yuyv_to_bgr = YuvRowToBgr<0>;
  k.uyvy_to_bgr = YuvRowToBgr<1>;
  k.bayer_to_bgr = BayerToBgr;
  k.bayer_to_mono = BayerToMono;
}

}  // namespace pixvane
