// The test scene in linear levels (sim_control.h publishes it): where its
// parts lie on a sensor, and the colour of a sensor pixel.
#pragma once

#include <array>
#include <cstdint>

namespace simsdk {

// Sensor row 0 carries byte `col` of the frame number in these columns.
inline constexpr uint32_t kStampColumns = 8;

// Levels of one scene pixel, 0..65535 each.
struct Rgb16 {
  uint32_t r = 0, g = 0, b = 0;
};

// What the frame number shows: the lit slot of the track and the digits.
struct FrameMarks {
  explicit FrameMarks(uint64_t frame);
  uint32_t lit_slot;
  std::array<uint8_t, 8> digits;  // most significant first
};

// Columns [begin, end) of the sensor.
struct ColumnRange {
  uint32_t begin = 0, end = 0;
};

// Rows of one kind and glyph row look alike in every column, so a frame
// holds few distinct rows of each; the ramp's rows all differ.
enum class RowKind : uint8_t { Stamp, Bars, Marker, Track, DigitGap, Digits, Ramp };

struct RowClass {
  RowKind kind = RowKind::Bars;
  uint8_t glyph_row = 0;  // font row for Marker and Digits
};

// Where the scene's parts lie on a sensor of width x height pixels.
class SceneGeometry {
 public:
  SceneGeometry(uint32_t width, uint32_t height);

  RowClass ClassOf(uint32_t row) const;
  // The colour at (row, col) of a row of class `row_class`.
  Rgb16 Colour(RowClass row_class, uint32_t row, uint32_t col, const FrameMarks& marks) const;
  // Where a row of a kind that changes with the frame may differ from the
  // same row of frame 0 (up to two ranges, empty ones have begin == end).
  std::array<ColumnRange, 2> ChangedSinceFrameZero(RowKind kind, const FrameMarks& marks) const;

 private:
  Rgb16 BarColour(uint32_t col) const;
  Rgb16 MarkerColour(uint32_t glyph_row, uint32_t col) const;
  Rgb16 TrackColour(uint32_t col, const FrameMarks& marks) const;
  Rgb16 DigitsColour(uint32_t glyph_row, uint32_t col, const FrameMarks& marks) const;
  Rgb16 RampColour(uint32_t row, uint32_t col) const;

  uint32_t width_, height_;
  // First columns of each bar and track slot, and the end of the last:
  // column c is in bar c * 8 / width (slot c * 16 / width), found without
  // a division per pixel.
  std::array<uint32_t, 9> bar_edges_;
  std::array<uint32_t, 17> slot_edges_;
  uint32_t track_top_, digits_top_, ramp_top_;
  uint32_t marker_unit_;
  uint32_t digit_unit_;  // 0: the band is too small for digits
  uint32_t digits_left_, digits_row_;
};

// Classes that change from frame to frame.
bool ChangesWithFrame(RowKind kind);

}  // namespace simsdk
