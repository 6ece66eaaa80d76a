// Row kernels of the converters: one table per instruction-set level.
// A kernel converts one row of `width` pixels; it reads only the bytes that
// row occupies in its source layout and writes only the row's output.
#pragma once

#include <cstdint>

#include "pixvane/isa_override.h"

namespace pixvane {

using RowFn = void (*)(const uint8_t* src, uint8_t* dst, uint32_t width);

// Which colours a Bayer row carries: the row holds red (else blue) samples
// beside its green ones, and its first pixel is green or not.
struct BayerRowKind {
  bool red_row;
  bool green_first;
};

// Demosaics row `cur` with its neighbours `up` and `down` (the image driver
// passes mirrored rows at the top and bottom edges).  All three rows hold
// `width` 8-bit samples.
using BayerRowFn = void (*)(const uint8_t* up, const uint8_t* cur, const uint8_t* down,
                            uint8_t* dst, uint32_t width, BayerRowKind kind);

struct Kernels {
  // To 8-bit samples: the most significant 8 bits of each value.
  RowFn mono10_to_8;  // 16-bit little-endian containers
  RowFn mono12_to_8;
  RowFn mono14_to_8;
  RowFn mono16_to_8;
  RowFn packed_to_8;  // GigE Vision 10- or 12-bit packed (same byte positions)
  RowFn p10_to_8;     // LSB-first bit streams
  RowFn p12_to_8;

  RowFn gray_to_bgr;

  RowFn rgb_to_mono;
  RowFn bgr_to_mono;
  RowFn rgba_to_mono;
  RowFn bgra_to_mono;
  RowFn rgb_to_bgr;
  RowFn rgba_to_bgr;
  RowFn bgra_to_bgr;

  RowFn yuyv_to_mono;
  RowFn uyvy_to_mono;
  RowFn yuyv_to_bgr;
  RowFn uyvy_to_bgr;

  BayerRowFn bayer_to_bgr;
  BayerRowFn bayer_to_mono;
};

// Tables per level; each starts as a copy of the level below and replaces
// the kernels it speeds up.
void InstallPortableKernels(Kernels& k);
void InstallSsse3Kernels(Kernels& k);
void InstallAvx2Kernels(Kernels& k);
void InstallAvx512Kernels(Kernels& k);
// The colour and YUV kernels of AVX2 and AVX-512, installed by the two
// functions above.
void InstallAvx2ColourKernels(Kernels& k);
void InstallAvx512ColourKernels(Kernels& k);

// The table in force for a conversion that starts now.
const Kernels& ActiveKernels() noexcept;

}  // namespace pixvane
