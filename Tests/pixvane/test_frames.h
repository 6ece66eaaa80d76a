// Test images for the conversion library: logical pixel values, their
// encoding in every source layout, the outputs expected of them (computed
// without any of the library's code), and memory that faults on the first
// byte read or written past its end.
#pragma once

#include <array>
#include <cstdint>
#include <random>
#include <vector>

#include "conversion.h"
#include "pixvane/pixel_formats.h"

namespace pixvane_test {

// Pixel values before encoding; each layout uses its own part.
struct Scene {
  uint32_t width = 0;
  uint32_t height = 0;
  std::vector<uint16_t> samples;  // mono and Bayer: one value per pixel
  // Colour formats: R, G, B, A per pixel.  YUV: Y per pixel, and U and V
  // of a pixel pair from the pair's left pixel.
  std::vector<std::array<uint8_t, 4>> bytes;

  uint16_t Sample(uint32_t x, uint32_t y) const { return samples[size_t{y} * width + x]; }
};

Scene RandomScene(uint32_t width, uint32_t height, unsigned bits, std::mt19937& rng);

// A source frame and what its caller says of it.
struct Source {
  std::vector<uint8_t> bytes;
  ConversionInfo info;
};

// `scene` in the layout of `format`, each row followed by `row_padding`
// filler bytes; no padding after the last row's own.
Source Encode(const Scene& scene, const pixvane::PixelFormatInfo& format, uint32_t row_padding);

enum class Target { Mono8, Bgr24 };

struct Expected {
  std::vector<uint8_t> pixels;
  int tolerance;  // 0 where the rule is exact, 1 where rounding may differ
};

// The output of `target` for `scene` encoded in `format`, straight from
// the scene's values (reference_conversions.cpp).
Expected Reference(Target target, const Scene& scene, const pixvane::PixelFormatInfo& format);

// A block whose last byte is followed by an inaccessible page, so a read or
// write of even one byte too many crashes the test at the faulty access.
class GuardedBlock {
 public:
  explicit GuardedBlock(size_t size);
  ~GuardedBlock();
  GuardedBlock(const GuardedBlock&) = delete;
  GuardedBlock& operator=(const GuardedBlock&) = delete;

  uint8_t* data() { return data_; }

 private:
  uint8_t* mapping_ = nullptr;
  size_t mapping_size_ = 0;
  uint8_t* data_ = nullptr;
};

struct Converted {
  int32_t status = -1;
  int32_t out_len = -1;
  std::vector<uint8_t> pixels;
  bool wrote_outside = false;  // a byte changed just before or after the output
};

// Runs one converter with the current kernels on a source holding exactly
// `source`'s bytes and an output whose first byte lies `offset` bytes past a
// 64-byte boundary, both guarded.
Converted Convert(Target target, const Source& source, size_t offset = 0);

}  // namespace pixvane_test
