#include "row_encoding.h"

#include <cstring>

namespace simsdk {
namespace {

using pixvane::Layout;
using pixvane::PixelFormatInfo;

void EncodeBytes(const uint16_t* samples, uint32_t width, uint8_t* dst) {
  for (uint32_t x = 0; x < width; ++x) dst[x] = static_cast<uint8_t>(samples[x]);
}

void EncodeLittleEndian16(const uint16_t* samples, uint32_t width, uint8_t* dst) {
  for (uint32_t x = 0; x < width; ++x) {
    dst[2 * x] = static_cast<uint8_t>(samples[x]);
    dst[2 * x + 1] = static_cast<uint8_t>(samples[x] >> 8);
  }
}

// Two pixels in three bytes: high 8 bits in bytes 0 and 2, the low bits
// of pixel 0 in the low nibble of byte 1 and of pixel 1 in its high one.
void EncodePacked(uint32_t bits, const uint16_t* samples, uint32_t width, uint8_t* dst) {
  const uint32_t low_bits = bits - 8;
  const uint32_t low_mask = (1u << low_bits) - 1;
  uint32_t x = 0;
  for (; x + 1 < width; x += 2, dst += 3) {
    const uint32_t a = samples[x];
    const uint32_t b = samples[x + 1];
    dst[0] = static_cast<uint8_t>(a >> low_bits);
    dst[1] = static_cast<uint8_t>((a & low_mask) | ((b & low_mask) << 4));
    dst[2] = static_cast<uint8_t>(b >> low_bits);
  }
  if (x < width) {
    const uint32_t a = samples[x];
    dst[0] = static_cast<uint8_t>(a >> low_bits);
    dst[1] = static_cast<uint8_t>(a & low_mask);
  }
}

// A continuous bit stream, each sample least significant bit first.
void EncodeBitStream(const PixelFormatInfo& format, const uint16_t* samples, uint32_t width,
                     uint8_t* dst) {
  std::memset(dst, 0, pixvane::RowBytes(format, width));
  for (uint32_t x = 0; x < width; ++x) {
    const uint64_t bit = uint64_t{x} * format.bits;
    const uint32_t v = uint32_t{samples[x]} << (bit % 8);
    uint8_t* p = dst + bit / 8;
    for (uint32_t shift = 0; shift < format.bits + bit % 8; shift += 8)
      *p++ |= static_cast<uint8_t>(v >> shift);
  }
}

// `order` names the channel stored at each byte of a pixel.
void EncodeInterleaved(const uint16_t* samples, uint32_t width, uint32_t step,
                       const uint8_t (&order)[4], uint8_t* dst) {
  for (uint32_t x = 0; x < width; ++x, dst += step, samples += step)
    for (uint32_t i = 0; i < step; ++i) dst[i] = static_cast<uint8_t>(samples[order[i]]);
}

}  // namespace

void EncodeRow(const PixelFormatInfo& format, const uint16_t* samples, uint32_t width,
               uint8_t* dst) {
  switch (format.layout) {
    case Layout::Mono:
    case Layout::Bayer:
      if (format.bits > 8)
        EncodeLittleEndian16(samples, width, dst);
      else
        EncodeBytes(samples, width, dst);
      return;
    case Layout::MonoPacked:
    case Layout::BayerPacked:
      EncodePacked(format.bits, samples, width, dst);
      return;
    case Layout::MonoP:
    case Layout::BayerP:
      EncodeBitStream(format, samples, width, dst);
      return;
    case Layout::Rgb:
      EncodeInterleaved(samples, width, 3, {0, 1, 2, 0}, dst);
      return;
    case Layout::Bgr:
      EncodeInterleaved(samples, width, 3, {2, 1, 0, 0}, dst);
      return;
    case Layout::Rgba:
      EncodeInterleaved(samples, width, 4, {0, 1, 2, 3}, dst);
      return;
    case Layout::Bgra:
      EncodeInterleaved(samples, width, 4, {2, 1, 0, 3}, dst);
      return;
    case Layout::Yuyv:
      EncodeInterleaved(samples, width, 2, {0, 1, 0, 0}, dst);
      return;
    case Layout::Uyvy:
      EncodeInterleaved(samples, width, 2, {1, 0, 0, 0}, dst);
      return;
  }
}

}  // namespace simsdk
