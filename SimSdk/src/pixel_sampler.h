// Samples of delivered pixels: the scene through the tone curve, taken
// into the pixel format's channels, and the frame-number stamp.
#pragma once

#include <cstdint>

#include "pixvane/pixel_formats.h"
#include "scene.h"
#include "sim_control.h"
#include "tone_curve.h"

namespace simsdk {

// Samples per pixel in the channel order of DeliveredSample: 1 (mono,
// Bayer), 3 (RGB, BGR), 4 (RGBa, BGRa), 2 (YUV: Y and the chroma byte).
uint32_t ChannelsOf(const pixvane::PixelFormatInfo& format);

// What a delivered row shows: its sensor row, that row's class and the row
// parity a Bayer filter sees.
struct DeliveredRow {
  uint32_t sensor_row;
  RowClass row_class;
  uint32_t parity;
};

class PixelSampler {
 public:
  // `tone_table`, when given, is ToneCurve(layout).Table(), looked up
  // instead of computing the curve per sample.
  PixelSampler(const FrameLayout& layout, const pixvane::PixelFormatInfo& format, uint64_t frame,
               const uint16_t* tone_table = nullptr);

  DeliveredRow Row(uint32_t row) const;
  // The samples of delivered pixel `col` of `row` (ChannelsOf values).
  void Pixel(const DeliveredRow& row, uint32_t col, uint16_t* out) const;

  const SceneGeometry& geometry() const { return geometry_; }
  const FrameMarks& marks() const { return marks_; }

 private:
  struct Rgb8 {
    int32_t r, g, b;
  };
  uint16_t Tone(uint32_t level) const { return tone_table_ ? tone_table_[level] : tone_(level); }
  Rgb16 SceneAt(const DeliveredRow& row, uint32_t col) const;
  Rgb8 ColourAt(const DeliveredRow& row, uint32_t col) const;
  void YuvPixel(const DeliveredRow& row, uint32_t col, uint16_t* out) const;

  const FrameLayout& layout_;
  const pixvane::PixelFormatInfo& format_;
  uint64_t frame_;
  FrameMarks marks_;
  SceneGeometry geometry_;
  ToneCurve tone_;
  const uint16_t* tone_table_;
  uint32_t shift_;  // from a 16-bit sample to the format's depth
};

}  // namespace simsdk
