// Byte kernels of the frame conversion: widening gray to blue-green-red
// triples and splitting triples into planes.  The vector variants are
// chosen once per process from what the processor offers, so one build
// serves every x86-64 machine.  All kernels are pure functions of their
// arguments and may run on any thread; source and destinations must not
// overlap.
#pragma once

#include <cstddef>
#include <cstdint>

struct PixelKernels {
  // dst[3i], dst[3i+1], dst[3i+2] = src[i] for i < pixels.
  void (*widen_gray_to_bgr)(const uint8_t* src, uint8_t* dst, size_t pixels);
  // One pass: a[i] = src[3i], b[i] = src[3i+1], c[i] = src[3i+2].
  void (*split_planes)(const uint8_t* src, uint8_t* a, uint8_t* b, uint8_t* c, size_t pixels);
  // One plane: dst[i] = src[3i + channel], channel 0 to 2.
  void (*extract_plane)(const uint8_t* src, uint8_t* dst, size_t pixels, int channel);
};

// The fastest kernels this processor runs.
const PixelKernels& Kernels();
// The plain C++ kernels, which every other variant must match.
const PixelKernels& PortableKernels();
// Every variant this processor can run (portable first), for tests and
// benchmarks; `names` receives a short name per variant.
size_t AvailableKernels(const PixelKernels** variants, const char** names, size_t capacity);
