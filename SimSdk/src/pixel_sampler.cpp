#include "pixel_sampler.h"

#include <algorithm>

namespace simsdk {
namespace {

using pixvane::BayerPattern;
using pixvane::Layout;
using pixvane::PixelFormatInfo;

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

// The colour (0 R, 1 G, 2 B) of the filter at a delivered position.
uint32_t FilterColour(BayerPattern pattern, uint32_t row_parity, uint32_t col_parity) {
  // Each pattern's 2 x 2 cell, read row by row.
  static constexpr uint8_t kCells[][4] = {
      {1, 1, 1, 1},  // None
      {1, 0, 2, 1},  // GR
      {0, 1, 1, 2},  // RG
      {1, 2, 0, 1},  // GB
      {2, 1, 1, 0},  // BG
  };
  return kCells[static_cast<int>(pattern)][2 * row_parity + col_parity];
}

// The weights of the conversion library's gray, so a gray camera and the
// gray of a colour camera agree on flat colours.
uint32_t Luma(uint32_t r, uint32_t g, uint32_t b) {
  return (77 * r + 150 * g + 29 * b + 128) >> 8;
}

uint16_t ClampToByte(int32_t v) {
  return static_cast<uint16_t>(std::clamp(v, 0, 255));
}

}  // namespace

uint32_t ChannelsOf(const PixelFormatInfo& format) {
  switch (format.layout) {
    case Layout::Rgb:
    case Layout::Bgr:
      return 3;
    case Layout::Rgba:
    case Layout::Bgra:
      return 4;
    case Layout::Yuyv:
    case Layout::Uyvy:
      return 2;
    default:
      return 1;
  }
}

PixelSampler::PixelSampler(const FrameLayout& layout, const PixelFormatInfo& format, uint64_t frame,
                           const uint16_t* tone_table)
    : layout_(layout),
      format_(format),
      frame_(frame),
      marks_(frame),
      geometry_(layout.sensor_width ? layout.sensor_width : layout.width,
                layout.sensor_height ? layout.sensor_height : layout.height),
      tone_(layout),
      tone_table_(tone_table),
      shift_(16 - SampleBits(format)) {}

DeliveredRow PixelSampler::Row(uint32_t row) const {
  const uint32_t sensor_row = layout_.reverse_y ? layout_.height - 1 - row : row;
  return {sensor_row, geometry_.ClassOf(sensor_row), row & 1};
}

Rgb16 PixelSampler::SceneAt(const DeliveredRow& row, uint32_t col) const {
  const uint32_t sensor_col = layout_.reverse_x ? layout_.width - 1 - col : col;
  return geometry_.Colour(row.row_class, row.sensor_row, sensor_col, marks_);
}

PixelSampler::Rgb8 PixelSampler::ColourAt(const DeliveredRow& row, uint32_t col) const {
  const Rgb16 c = SceneAt(row, col);
  return {Tone(c.r) >> 8, Tone(c.g) >> 8, Tone(c.b) >> 8};
}

void PixelSampler::YuvPixel(const DeliveredRow& row, uint32_t col, uint16_t* out) const {
  const Rgb8 own = ColourAt(row, col);
  const int32_t y = static_cast<int32_t>(Luma(own.r, own.g, own.b));
  out[0] = static_cast<uint16_t>(y);
  // The pair's chroma is its left pixel's.
  const Rgb8 left = col % 2 ? ColourAt(row, col - 1) : own;
  const int32_t left_y = static_cast<int32_t>(Luma(left.r, left.g, left.b));
  out[1] = col % 2 ? ClampToByte(128 + (((left.r - left_y) * 46744 + 32768) >> 16))
                   : ClampToByte(128 + (((left.b - left_y) * 36984 + 32768) >> 16));
}

void PixelSampler::Pixel(const DeliveredRow& row, uint32_t col, uint16_t* out) const {
  if (row.row_class.kind == RowKind::Stamp) {
    const uint32_t sensor_col = layout_.reverse_x ? layout_.width - 1 - col : col;
    if (sensor_col < kStampColumns) {
      const auto byte = static_cast<uint16_t>((frame_ >> (8 * sensor_col)) & 0xFF);
      for (uint32_t ch = 0; ch < ChannelsOf(format_); ++ch)
        out[ch] = ch == 3 ? 255 : static_cast<uint16_t>(byte << (8 - shift_));
      return;
    }
  }
  switch (format_.layout) {
    case Layout::Mono:
    case Layout::MonoPacked:
    case Layout::MonoP: {
      const Rgb16 c = SceneAt(row, col);
      out[0] = Tone(Luma(c.r, c.g, c.b)) >> shift_;
      return;
    }
    case Layout::Bayer:
    case Layout::BayerPacked:
    case Layout::BayerP: {
      const Rgb16 c = SceneAt(row, col);
      const uint32_t colour[3] = {c.r, c.g, c.b};
      out[0] = Tone(colour[FilterColour(format_.pattern, row.parity, col % 2)]) >> shift_;
      return;
    }
    case Layout::Rgb:
    case Layout::Bgr:
    case Layout::Rgba:
    case Layout::Bgra: {
      const Rgb8 c = ColourAt(row, col);
      out[0] = static_cast<uint16_t>(c.r);
      out[1] = static_cast<uint16_t>(c.g);
      out[2] = static_cast<uint16_t>(c.b);
      if (ChannelsOf(format_) == 4) out[3] = 255;
      return;
    }
    case Layout::Yuyv:
    case Layout::Uyvy:
      YuvPixel(row, col, out);
      return;
  }
}

uint32_t DeliveredSample(const FrameLayout& layout, uint64_t frame, uint32_t row, uint32_t col,
                         uint32_t channel) {
  const PixelFormatInfo* format = pixvane::FindPixelFormat(layout.pixel_format);
  if (!format || channel >= ChannelsOf(*format)) return 0;
  const PixelSampler sampler(layout, *format, frame);
  uint16_t samples[4];
  sampler.Pixel(sampler.Row(row), col, samples);
  return samples[channel];
}

}  // namespace simsdk
