#include "test_frames.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace pixvane_test {

using pixvane::Layout;

Scene RandomScene(uint32_t width, uint32_t height, unsigned bits, std::mt19937& rng) {
  const size_t n = size_t{width} * height;
  Scene s{width, height, std::vector<uint16_t>(n), std::vector<std::array<uint8_t, 4>>(n)};
  for (size_t i = 0; i < n; ++i) {
    s.samples[i] = static_cast<uint16_t>(rng() % (1u << bits));
    for (auto& byte : s.bytes[i]) byte = static_cast<uint8_t>(rng());
  }
  return s;
}

namespace {

void PutBits(std::vector<uint8_t>& row, size_t first_bit, uint32_t value, unsigned bits) {
  for (unsigned k = 0; k < bits; ++k) {
    const size_t bit = first_bit + k;
    if ((value >> k) & 1u) row[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
  }
}

std::vector<uint8_t> EncodeRow(const Scene& s, const pixvane::PixelFormatInfo& f, uint32_t y) {
  std::vector<uint8_t> row(pixvane::RowBytes(f, s.width), 0);
  const unsigned low_bits = f.bits - 8u;
  const bool blue_first = f.layout == Layout::Bgr || f.layout == Layout::Bgra;
  const size_t colour_bytes = f.layout == Layout::Rgba || f.layout == Layout::Bgra ? 4 : 3;
  const size_t luma_byte = f.layout == Layout::Yuyv ? 0 : 1;
  for (uint32_t x = 0; x < s.width; ++x) {
    const uint32_t v = s.Sample(x, y);
    const auto& c = s.bytes[size_t{y} * s.width + x];
    switch (f.layout) {
      case Layout::Mono:
      case Layout::Bayer:
        if (f.bits == 8) {
          row[x] = static_cast<uint8_t>(v);
        } else {
          row[2 * x] = static_cast<uint8_t>(v & 0xFF);
          row[2 * x + 1] = static_cast<uint8_t>(v >> 8);
        }
        break;
      case Layout::MonoPacked:
      case Layout::BayerPacked: {
        // Pair layout: high bits of the first pixel, the two low-bit fields
        // (first pixel in bits 0.., second in bits 4..), high bits of the second.
        const size_t pair = size_t{x / 2} * 3;
        const uint32_t low = v & ((1u << low_bits) - 1);
        row[pair + (x % 2 == 0 ? 0 : 2)] = static_cast<uint8_t>(v >> low_bits);
        row[pair + 1] |= static_cast<uint8_t>(x % 2 == 0 ? low : low << 4);
        break;
      }
      case Layout::MonoP:
      case Layout::BayerP:
        PutBits(row, size_t{x} * f.bits, v, f.bits);
        break;
      case Layout::Rgb:
      case Layout::Bgr:
      case Layout::Rgba:
      case Layout::Bgra:
        for (size_t k = 0; k < colour_bytes; ++k)
          row[colour_bytes * x + k] = c[blue_first && k < 3 ? 2 - k : k];
        break;
      case Layout::Yuyv:
      case Layout::Uyvy:
        row[2 * x + luma_byte] = c[0];
        row[2 * x + 1 - luma_byte] = s.bytes[size_t{y} * s.width + x - x % 2][1 + x % 2];
        break;
    }
  }
  return row;
}

}  // namespace

Source Encode(const Scene& scene, const pixvane::PixelFormatInfo& format, uint32_t row_padding) {
  std::vector<uint8_t> out;
  for (uint32_t y = 0; y < scene.height; ++y) {
    const auto row = EncodeRow(scene, format, y);
    out.insert(out.end(), row.begin(), row.end());
    out.insert(out.end(), row_padding, static_cast<uint8_t>(0xA5));  // filler a kernel must skip
  }
  const auto size = static_cast<uint32_t>(out.size());
  return {std::move(out), {scene.width, scene.height, row_padding, 0, size, format.code}};
}

GuardedBlock::GuardedBlock(size_t size) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  const size_t data_pages = (size + page - 1) / page;
  mapping_size_ = (data_pages + 1) * page;
  void* m =
      mmap(nullptr, mapping_size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (m == MAP_FAILED) std::abort();
  mapping_ = static_cast<uint8_t*>(m);
  if (mprotect(mapping_ + data_pages * page, page, PROT_NONE) != 0) std::abort();
  data_ = mapping_ + data_pages * page - size;
}

GuardedBlock::~GuardedBlock() {
  munmap(mapping_, mapping_size_);
}

Converted Convert(Target target, const Source& source, size_t offset) {
  const ConversionInfo& info = source.info;
  constexpr uint8_t kUntouched = 0x5A;
  constexpr size_t kMargin = 64;
  const size_t size = size_t{info.width} * info.height * (target == Target::Mono8 ? 1 : 3);
  GuardedBlock src(source.bytes.size());
  if (!source.bytes.empty()) std::memcpy(src.data(), source.bytes.data(), source.bytes.size());
  // The guard page is 64-byte aligned: this many bytes after the output put
  // its start at `offset`.
  const size_t tail = (64 - (size + offset) % 64) % 64;
  std::vector<uint8_t> block(kMargin + size + tail, kUntouched);
  GuardedBlock dst(block.size());
  std::memcpy(dst.data(), block.data(), block.size());
  Converted result;
  result.status =
      target == Target::Mono8
          ? PXVANE_ConvertToMono8(src.data(), &info, dst.data() + kMargin, &result.out_len)
          : PXVANE_ConvertToBGR24(src.data(), &info, dst.data() + kMargin, &result.out_len);
  std::memcpy(block.data(), dst.data(), block.size());
  result.pixels.assign(block.begin() + kMargin, block.begin() + kMargin + size);
  std::fill_n(block.begin() + kMargin, size, kUntouched);
  result.wrote_outside = block != std::vector<uint8_t>(block.size(), kUntouched);
  return result;
}

}  // namespace pixvane_test
