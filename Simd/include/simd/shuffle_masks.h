// Byte-shuffle masks of the 16-byte lanes the SSSE3 and AVX2 vector types
// share: interleaving planes into blue-green-red triples and back.
#pragma once

#include <array>
#include <cstdint>

namespace simd {

inline constexpr uint8_t kZeroLane = 0x80;  // a shuffle index that yields 0

// For output chunk `chunk` of 16 bytes made from 16-pixel planes: the
// source pixel of each byte when it belongs to `channel` (0 blue, 1 green,
// 2 red), else kZeroLane.
constexpr std::array<uint8_t, 16> InterleaveMask16(int chunk, int channel) {
  std::array<uint8_t, 16> m{};
  for (int k = 0; k < 16; ++k) {
    const int j = 16 * chunk + k;
    m[k] = j % 3 == channel ? static_cast<uint8_t>(j / 3) : kZeroLane;
  }
  return m;
}

// The inverse: for 16 triples in three 16-byte chunks, the bytes of
// `channel` that chunk `chunk` holds, each moved to its pixel's place;
// kZeroLane for the pixels the other chunks hold.
constexpr std::array<uint8_t, 16> DeinterleaveMask16(int chunk, int channel) {
  std::array<uint8_t, 16> m{};
  for (int i = 0; i < 16; ++i) {
    const int j = 3 * i + channel;
    m[i] = j / 16 == chunk ? static_cast<uint8_t>(j % 16) : kZeroLane;
  }
  return m;
}

// Source pixel of every byte of a 16-byte chunk when all channels are one gray plane.
constexpr std::array<uint8_t, 16> ReplicateMask16(int chunk) {
  std::array<uint8_t, 16> m{};
  for (int k = 0; k < 16; ++k) m[k] = static_cast<uint8_t>((16 * chunk + k) / 3);
  return m;
}

// Gathers the two high-bit bytes of GigE Vision packed pairs: from bytes
// 0..15 (`from_second` false) or 8..23 (true) of the source.
constexpr std::array<uint8_t, 16> PackedMsbMask16(bool from_second) {
  std::array<uint8_t, 16> m{};
  for (int i = 0; i < 16; ++i) {
    const int s = 3 * (i / 2) + 2 * (i & 1);
    if (!from_second)
      m[i] = s <= 15 ? static_cast<uint8_t>(s) : kZeroLane;
    else
      m[i] = s > 15 ? static_cast<uint8_t>(s - 8) : kZeroLane;
  }
  return m;
}

}  // namespace simd
