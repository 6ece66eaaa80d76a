// The published frame formula and its encoding per pixel-format layout.
#include "frame_pattern.h"

#include <cstring>

namespace simsdk {
namespace {

using pixvane::Layout;
using pixvane::PixelFormatInfo;

constexpr uint32_t kStampColumns = 8;  // one byte of the frame number each

uint32_t SampleBits(const PixelFormatInfo& format) {
  switch (format.layout) {
    case Layout::Mono:
    case Layout::MonoPacked:
    case Layout::MonoP:
    case Layout::Bayer:
    case Layout::BayerPacked:
    case Layout::BayerP:
      return format.bits;
    default:
      return 8;
  }
}

uint32_t Sample(const PixelFormatInfo& format, uint64_t frame, uint32_t row, uint32_t col,
                uint32_t channel) {
  const bool has_alpha = format.layout == Layout::Rgba || format.layout == Layout::Bgra;
  if (has_alpha && channel == 3) return 255;
  const uint32_t bits = SampleBits(format);
  const uint64_t mask = (uint64_t{1} << bits) - 1;
  const uint64_t base =
      ((uint64_t{col} * 7 + uint64_t{row} * 13 + uint64_t{channel} * 101) * 0x9E5) & mask;
  if (row != 0 || col >= kStampColumns) return static_cast<uint32_t>(base);
  const uint64_t byte = (frame >> (8 * col)) & 0xFF;
  const uint64_t low_mask = (uint64_t{1} << (bits - 8)) - 1;
  return static_cast<uint32_t>((byte << (bits - 8)) | (base & low_mask));
}

// Encodes delivered row `row` (sensor row already mirrored by the caller)
// of `width` pixels; sensor column of delivered column x is col_of(x).
class RowEncoder {
 public:
  RowEncoder(const FrameLayout& layout, const PixelFormatInfo& format, uint64_t frame)
      : layout_(layout), format_(format), frame_(frame) {}

  void Encode(uint32_t sensor_row, uint8_t* dst) const {
    const uint32_t w = layout_.width;
    switch (format_.layout) {
      case Layout::Mono:
      case Layout::Bayer:
        if (format_.bits > 8) {
          for (uint32_t x = 0; x < w; ++x) {
            const uint32_t v = At(sensor_row, x, 0);
            dst[2 * x] = static_cast<uint8_t>(v);
            dst[2 * x + 1] = static_cast<uint8_t>(v >> 8);
          }
        } else {
          for (uint32_t x = 0; x < w; ++x) dst[x] = static_cast<uint8_t>(At(sensor_row, x, 0));
        }
        return;
      case Layout::MonoPacked:
      case Layout::BayerPacked:
        EncodePacked(sensor_row, dst);
        return;
      case Layout::MonoP:
      case Layout::BayerP:
        EncodeBitStream(sensor_row, dst);
        return;
      case Layout::Rgb:
        EncodeColour(sensor_row, dst, 3, {0, 1, 2, 0});
        return;
      case Layout::Bgr:
        EncodeColour(sensor_row, dst, 3, {2, 1, 0, 0});
        return;
      case Layout::Rgba:
        EncodeColour(sensor_row, dst, 4, {0, 1, 2, 3});
        return;
      case Layout::Bgra:
        EncodeColour(sensor_row, dst, 4, {2, 1, 0, 3});
        return;
      case Layout::Yuyv:
        EncodeYuv(sensor_row, dst, 0, 1);
        return;
      case Layout::Uyvy:
        EncodeYuv(sensor_row, dst, 1, 0);
        return;
    }
  }

 private:
  uint32_t At(uint32_t sensor_row, uint32_t x, uint32_t channel) const {
    const uint32_t col = layout_.reverse_x ? layout_.width - 1 - x : x;
    return Sample(format_, frame_, sensor_row, col, channel);
  }

  // Two pixels in three bytes: high 8 bits in bytes 0 and 2, the low bits
  // of pixel 0 in the low nibble of byte 1 and of pixel 1 in its high one.
  void EncodePacked(uint32_t sensor_row, uint8_t* dst) const {
    const uint32_t low_bits = format_.bits - 8;
    const uint32_t low_mask = (1u << low_bits) - 1;
    uint32_t x = 0;
    for (; x + 1 < layout_.width; x += 2, dst += 3) {
      const uint32_t a = At(sensor_row, x, 0);
      const uint32_t b = At(sensor_row, x + 1, 0);
      dst[0] = static_cast<uint8_t>(a >> low_bits);
      dst[1] = static_cast<uint8_t>((a & low_mask) | ((b & low_mask) << 4));
      dst[2] = static_cast<uint8_t>(b >> low_bits);
    }
    if (x < layout_.width) {
      const uint32_t a = At(sensor_row, x, 0);
      dst[0] = static_cast<uint8_t>(a >> low_bits);
      dst[1] = static_cast<uint8_t>(a & low_mask);
    }
  }

  // A continuous bit stream, each sample least significant bit first.
  void EncodeBitStream(uint32_t sensor_row, uint8_t* dst) const {
    const uint64_t bytes = pixvane::RowBytes(format_, layout_.width);
    std::memset(dst, 0, bytes);
    for (uint32_t x = 0; x < layout_.width; ++x) {
      const uint64_t bit = uint64_t{x} * format_.bits;
      const uint32_t v = At(sensor_row, x, 0) << (bit % 8);
      uint8_t* p = dst + bit / 8;
      for (uint32_t shift = 0; shift < format_.bits + bit % 8; shift += 8)
        *p++ |= static_cast<uint8_t>(v >> shift);
    }
  }

  struct ChannelOrder {
    uint32_t byte_channel[4];  // channel stored at byte offset 0..3
  };
  void EncodeColour(uint32_t sensor_row, uint8_t* dst, uint32_t step, ChannelOrder order) const {
    for (uint32_t x = 0; x < layout_.width; ++x, dst += step)
      for (uint32_t i = 0; i < step; ++i)
        dst[i] = static_cast<uint8_t>(At(sensor_row, x, order.byte_channel[i]));
  }

  // Each pixel contributes its Y and its chroma byte (U on even columns,
  // V on odd), in the order the layout stores them.
  void EncodeYuv(uint32_t sensor_row, uint8_t* dst, uint32_t y_offset,
                 uint32_t chroma_offset) const {
    for (uint32_t x = 0; x < layout_.width; ++x, dst += 2) {
      dst[y_offset] = static_cast<uint8_t>(At(sensor_row, x, 0));
      dst[chroma_offset] = static_cast<uint8_t>(At(sensor_row, x, 1));
    }
  }

  const FrameLayout& layout_;
  const PixelFormatInfo& format_;
  uint64_t frame_;
};

uint64_t RowStride(const FrameLayout& layout, const PixelFormatInfo& format) {
  return pixvane::RowBytes(format, layout.width) + layout.padding_x;
}

}  // namespace

uint64_t FrameBytes(const FrameLayout& layout, const PixelFormatInfo& format) {
  if (layout.width == 0 || layout.height == 0) return 0;
  const uint64_t bytes = RowStride(layout, format) * layout.height + layout.padding_y;
  return bytes > UINT32_MAX ? 0 : bytes;
}

void RenderInto(const FrameLayout& layout, const PixelFormatInfo& format, uint64_t frame,
                uint8_t* dst) {
  const RowEncoder encoder(layout, format, frame);
  const uint64_t row_bytes = pixvane::RowBytes(format, layout.width);
  const uint64_t stride = RowStride(layout, format);
  for (uint32_t y = 0; y < layout.height; ++y) {
    uint8_t* row = dst + stride * y;
    encoder.Encode(layout.reverse_y ? layout.height - 1 - y : y, row);
    std::memset(row + row_bytes, 0, layout.padding_x);
  }
  std::memset(dst + stride * layout.height, 0, layout.padding_y);
}

void Restamp(const FrameLayout& layout, const PixelFormatInfo& format, uint64_t to, uint8_t* dst) {
  const uint32_t stamped_row = layout.reverse_y ? layout.height - 1 : 0;
  RowEncoder(layout, format, to).Encode(0, dst + RowStride(layout, format) * stamped_row);
}

uint32_t SensorSample(const std::string& pixel_format, uint64_t frame, uint32_t row, uint32_t col,
                      uint32_t channel) {
  const PixelFormatInfo* format = pixvane::FindPixelFormat(pixel_format);
  return format ? Sample(*format, frame, row, col, channel) : 0;
}

uint32_t DeliveredSample(const FrameLayout& layout, uint64_t frame, uint32_t row, uint32_t col,
                         uint32_t channel) {
  const uint32_t sensor_row = layout.reverse_y ? layout.height - 1 - row : row;
  const uint32_t sensor_col = layout.reverse_x ? layout.width - 1 - col : col;
  return SensorSample(layout.pixel_format, frame, sensor_row, sensor_col, channel);
}

std::vector<uint8_t> RenderFrame(const FrameLayout& layout, uint64_t frame) {
  const PixelFormatInfo* format = pixvane::FindPixelFormat(layout.pixel_format);
  if (!format) return {};
  const uint64_t bytes = FrameBytes(layout, *format);
  std::vector<uint8_t> out(bytes);
  if (bytes) RenderInto(layout, *format, frame, out.data());
  return out;
}

}  // namespace simsdk
