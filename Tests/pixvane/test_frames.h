// Test images for the conversion library: logical pixel values, their
// encoding in every source layout, and memory that faults on the first byte
// read or written past its end.
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
  std::vector<uint16_t> samples;               // mono and Bayer: one value per pixel
  std::vector<std::array<uint8_t, 4>> rgba;    // colour formats: R, G, B, A per pixel
  std::vector<uint8_t> luma;                   // YUV: Y per pixel
  std::vector<std::array<uint8_t, 2>> chroma;  // YUV: U, V per pixel pair (rounded up)

  uint16_t Sample(uint32_t x, uint32_t y) const { return samples[size_t{y} * width + x]; }
};

Scene RandomScene(uint32_t width, uint32_t height, unsigned bits, std::mt19937& rng);

// Bytes of `scene` in the layout of `format`, each row followed by
// `row_padding` filler bytes; no padding after the last row's own.
std::vector<uint8_t> Encode(const Scene& scene, const pixvane::PixelFormatInfo& format,
                            uint32_t row_padding);

// A block whose last byte is followed by an inaccessible page, so a read or
// write of even one byte too many crashes the test at the faulty access.
class GuardedBlock {
 public:
  explicit GuardedBlock(size_t size);
  GuardedBlock(const std::vector<uint8_t>& content);
  ~GuardedBlock();
  GuardedBlock(const GuardedBlock&) = delete;
  GuardedBlock& operator=(const GuardedBlock&) = delete;

  uint8_t* data() { return data_; }
  size_t size() const { return size_; }
  std::vector<uint8_t> Copy() const { return {data_, data_ + size_}; }

 private:
  uint8_t* mapping_ = nullptr;
  size_t mapping_size_ = 0;
  uint8_t* data_ = nullptr;
  size_t size_ = 0;
};

struct Converted {
  int32_t status = -1;
  int32_t out_len = -1;
  std::vector<uint8_t> pixels;
};

enum class Target { Mono8, Bgr24 };

// Runs one converter on guarded source and destination memory holding
// exactly `source` and width x height x channels bytes.
Converted Convert(Target target, const std::vector<uint8_t>& source, const ConversionInfo& info);

ConversionInfo InfoFor(const Scene& scene, uint32_t code, uint32_t row_padding, size_t data_size);

}  // namespace pixvane_test
