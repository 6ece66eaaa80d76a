// Byte-shuffle tables of the colour, bit-stream and YUV kernels, shared by
// the vector units.
#pragma once

#include <array>
#include <cstdint>

#include "simd/shuffle_masks.h"

namespace pixvane {

using simd::kZeroLane;

// Blue, green, red of the whole pixels among 16 bytes of kStep-byte pixels
// (5 of 3 bytes, 4 of 4), red and blue at `r` and `b`; the rest zero.
constexpr std::array<uint8_t, 16> ColourToBgrMask16(unsigned step, unsigned r, unsigned b) {
  std::array<uint8_t, 16> m{};
  for (auto& lane : m) lane = kZeroLane;
  for (unsigned p = 0; p < 16 / step; ++p) {
    m[3 * p] = static_cast<uint8_t>(step * p + b);
    m[3 * p + 1] = static_cast<uint8_t>(step * p + 1);
    m[3 * p + 2] = static_cast<uint8_t>(step * p + r);
  }
  return m;
}

// Four kStep-byte pixels as 16-bit lanes: red, green pairs (`pairs` true)
// or blue, zero pairs.
constexpr std::array<uint8_t, 16> ColourWordsMask16(unsigned step, unsigned r, unsigned b,
                                                    bool pairs) {
  std::array<uint8_t, 16> m{};
  for (auto& lane : m) lane = kZeroLane;
  for (unsigned p = 0; p < 4; ++p) {
    m[4 * p] = static_cast<uint8_t>(step * p + (pairs ? r : b));
    if (pairs) m[4 * p + 2] = static_cast<uint8_t>(step * p + 1);
  }
  return m;
}

// LSB-first bit streams of kBits-bit samples, eight samples per table:
// the two bytes holding each sample's most significant 8 bits, as a 16-bit
// lane, and the power of two that moves those bits into the lane's high byte.
struct BitStreamTables {
  std::array<uint8_t, 16> bytes;
  std::array<uint16_t, 8> multipliers;
};

constexpr BitStreamTables MakeBitStreamTables(unsigned bits) {
  BitStreamTables t{};
  for (unsigned k = 0; k < 8; ++k) {
    const unsigned bit = k * bits;
    const unsigned shift = bit % 8 + bits - 8;  // at most 8 for 10 and 12 bits
    t.bytes[2 * k] = static_cast<uint8_t>(bit / 8);
    t.bytes[2 * k + 1] = static_cast<uint8_t>(bit / 8 + 1);
    t.multipliers[k] = static_cast<uint16_t>(1u << (8 - shift));
  }
  return t;
}

// YUV 4:2:2 pairs (4 bytes; kYOffset 0: Y0 U Y1 V, 1: U Y0 V Y1).
// The Y of the 8 pixels in 16 bytes, as 16-bit lanes.
constexpr std::array<uint8_t, 16> YuvLumaWordsMask16(unsigned y_offset) {
  std::array<uint8_t, 16> m{};
  for (unsigned i = 0; i < 8; ++i) {
    m[2 * i] = static_cast<uint8_t>(2 * i + y_offset);
    m[2 * i + 1] = kZeroLane;
  }
  return m;
}

// The Y bytes of 16 bytes, into bytes 0..7 (`high` false) or 8..15.
constexpr std::array<uint8_t, 16> YuvLumaBytesMask16(unsigned y_offset, bool high) {
  std::array<uint8_t, 16> m{};
  for (unsigned i = 0; i < 16; ++i) m[i] = kZeroLane;
  for (unsigned i = 0; i < 8; ++i) m[i + (high ? 8 : 0)] = static_cast<uint8_t>(2 * i + y_offset);
  return m;
}

// One chroma byte (offset `chroma` in each pair) of the 4 pairs in 16
// bytes, as 16-bit lanes 0..3 (`high` false) or 4..7; the rest zero.
constexpr std::array<uint8_t, 16> YuvChromaWordsMask16(unsigned chroma, bool high) {
  std::array<uint8_t, 16> m{};
  for (unsigned i = 0; i < 16; ++i) m[i] = kZeroLane;
  for (unsigned p = 0; p < 4; ++p)
    m[2 * (p + (high ? 4 : 0))] = static_cast<uint8_t>(4 * p + chroma);
  return m;
}

}  // namespace pixvane
