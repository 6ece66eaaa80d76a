#include "test_frames.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace pixvane_test {

using pixvane::Layout;

Scene RandomScene(uint32_t width, uint32_t height, unsigned bits, std::mt19937& rng) {
  Scene s;
  s.width = width;
  s.height = height;
  const size_t n = size_t{width} * height;
  std::uniform_int_distribution<uint32_t> sample(0, (1u << bits) - 1);
  std::uniform_int_distribution<uint32_t> byte(0, 255);
  s.samples.resize(n);
  s.rgba.resize(n);
  s.luma.resize(n);
  s.chroma.resize(size_t{(width + 1) / 2} * height);
  for (auto& v : s.samples) v = static_cast<uint16_t>(sample(rng));
  for (auto& p : s.rgba)
    for (auto& c : p) c = static_cast<uint8_t>(byte(rng));
  for (auto& v : s.luma) v = static_cast<uint8_t>(byte(rng));
  for (auto& p : s.chroma)
    for (auto& c : p) c = static_cast<uint8_t>(byte(rng));
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
  for (uint32_t x = 0; x < s.width; ++x) {
    const uint32_t v = s.Sample(x, y);
    const auto& c = s.rgba[size_t{y} * s.width + x];
    const uint8_t luma = s.luma[size_t{y} * s.width + x];
    const auto& uv = s.chroma[size_t{y} * ((s.width + 1) / 2) + x / 2];
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
        if (x % 2 == 0) {
          row[pair] = static_cast<uint8_t>(v >> low_bits);
          row[pair + 1] |= static_cast<uint8_t>(low);
        } else {
          row[pair + 2] = static_cast<uint8_t>(v >> low_bits);
          row[pair + 1] |= static_cast<uint8_t>(low << 4);
        }
        break;
      }
      case Layout::MonoP:
      case Layout::BayerP:
        PutBits(row, size_t{x} * f.bits, v, f.bits);
        break;
      case Layout::Rgb:
        row[3 * x] = c[0], row[3 * x + 1] = c[1], row[3 * x + 2] = c[2];
        break;
      case Layout::Bgr:
        row[3 * x] = c[2], row[3 * x + 1] = c[1], row[3 * x + 2] = c[0];
        break;
      case Layout::Rgba:
        row[4 * x] = c[0], row[4 * x + 1] = c[1], row[4 * x + 2] = c[2], row[4 * x + 3] = c[3];
        break;
      case Layout::Bgra:
        row[4 * x] = c[2], row[4 * x + 1] = c[1], row[4 * x + 2] = c[0], row[4 * x + 3] = c[3];
        break;
      case Layout::Yuyv:
        row[2 * x] = luma;
        row[2 * x + 1] = x % 2 == 0 ? uv[0] : uv[1];
        break;
      case Layout::Uyvy:
        row[2 * x + 1] = luma;
        row[2 * x] = x % 2 == 0 ? uv[0] : uv[1];
        break;
    }
  }
  return row;
}

}  // namespace

std::vector<uint8_t> Encode(const Scene& scene, const pixvane::PixelFormatInfo& format,
                            uint32_t row_padding) {
  std::vector<uint8_t> out;
  for (uint32_t y = 0; y < scene.height; ++y) {
    const auto row = EncodeRow(scene, format, y);
    out.insert(out.end(), row.begin(), row.end());
    out.insert(out.end(), row_padding, static_cast<uint8_t>(0xA5));  // filler a kernel must skip
  }
  return out;
}

GuardedBlock::GuardedBlock(size_t size) : size_(size) {
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

GuardedBlock::GuardedBlock(const std::vector<uint8_t>& content) : GuardedBlock(content.size()) {
  if (!content.empty()) std::memcpy(data_, content.data(), content.size());
}

GuardedBlock::~GuardedBlock() {
  munmap(mapping_, mapping_size_);
}

ConversionInfo InfoFor(const Scene& scene, uint32_t code, uint32_t row_padding, size_t data_size) {
  return ConversionInfo{scene.width, scene.height, row_padding, 0, static_cast<uint32_t>(data_size),
                        code};
}

Converted Convert(Target target, const std::vector<uint8_t>& source, const ConversionInfo& info) {
  const size_t channels = target == Target::Mono8 ? 1 : 3;
  GuardedBlock src(source);
  GuardedBlock dst(size_t{info.width} * info.height * channels);
  std::memset(dst.data(), 0x5A, dst.size());
  Converted result;
  result.status = target == Target::Mono8
                      ? PXVANE_ConvertToMono8(src.data(), &info, dst.data(), &result.out_len)
                      : PXVANE_ConvertToBGR24(src.data(), &info, dst.data(), &result.out_len);
  result.pixels = dst.Copy();
  return result;
}

}  // namespace pixvane_test
