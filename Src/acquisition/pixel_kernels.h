// Byte kernels of the frame conversion: widening gray to blue-green-red
// triples and splitting triples into planes.  One table per instruction-set
// level, chosen once per process from what the processor offers, so one
// build serves every x86-64 machine.  All kernels are pure functions of
// their arguments and may run on any thread; source and destinations must
// not overlap.
#pragma once

#include <cstddef>
#include <cstdint>

#include "simd/isa.h"

struct PixelKernels {
  // dst[3i], dst[3i+1], dst[3i+2] = src[i] for i < pixels.
  void (*widen_gray_to_bgr)(const uint8_t* src, uint8_t* dst, size_t pixels);
  // One pass: a[i] = src[3i], b[i] = src[3i+1], c[i] = src[3i+2].
  void (*split_planes)(const uint8_t* src, uint8_t* a, uint8_t* b, uint8_t* c, size_t pixels);
  // One plane per entry: extract_plane[k] makes dst[i] = src[3i + k].
  void (*extract_plane[3])(const uint8_t* src, uint8_t* dst, size_t pixels);
};

// The kernels of the best level this processor runs.
const PixelKernels& ActivePixelKernels();

// The kernels of `isa`; null when this processor cannot run them.
const PixelKernels* PixelKernelsAt(simd::Isa isa);
