#include "scene.h"

#include <algorithm>

namespace simsdk {
namespace {

constexpr uint32_t kFull = 65535;
constexpr uint32_t kBar = 49151;  // 75 %, so gain has room before white clips
constexpr uint32_t kTrackGray = 13107;
constexpr Rgb16 kBlack{0, 0, 0};
constexpr Rgb16 kWhite{kBar, kBar, kBar};

constexpr Rgb16 kBars[8] = {kWhite,          {kBar, kBar, 0}, {0, kBar, kBar}, {0, kBar, 0},
                            {kBar, 0, kBar}, {kBar, 0, 0},    {0, 0, kBar},    kBlack};

constexpr uint32_t kTrackSlots = 16;
constexpr uint32_t kDigits = 8;
constexpr uint64_t kDigitsModulus = 100000000;  // 10^kDigits

// 5 x 7 glyphs, one row per byte, bit 4 the leftmost column.
using Glyph = uint8_t[7];
constexpr Glyph kDigitGlyphs[10] = {
    {0x0E, 0x11, 0x11, 0x11, 0x11, 0x11, 0x0E}, {0x04, 0x0C, 0x04, 0x04, 0x04, 0x04, 0x0E},
    {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}, {0x1F, 0x02, 0x04, 0x02, 0x01, 0x11, 0x0E},
    {0x02, 0x06, 0x0A, 0x12, 0x1F, 0x02, 0x02}, {0x1F, 0x10, 0x1E, 0x01, 0x01, 0x11, 0x0E},
    {0x06, 0x08, 0x10, 0x1E, 0x11, 0x11, 0x0E}, {0x1F, 0x01, 0x02, 0x04, 0x08, 0x08, 0x08},
    {0x0E, 0x11, 0x11, 0x0E, 0x11, 0x11, 0x0E}, {0x0E, 0x11, 0x11, 0x0F, 0x01, 0x02, 0x0C},
};
// F: mirrored either way it reads differently.
constexpr Glyph kMarkerGlyph = {0x1F, 0x10, 0x10, 0x1E, 0x10, 0x10, 0x10};
constexpr uint32_t kGlyphColumns = 5;
constexpr uint32_t kGlyphRows = 7;
constexpr uint32_t kDigitPitch = kGlyphColumns + 1;  // one unit between digits

bool Ink(const Glyph& glyph, uint32_t glyph_row, uint32_t glyph_col) {
  return glyph_col < kGlyphColumns && ((glyph[glyph_row] >> (kGlyphColumns - 1 - glyph_col)) & 1);
}

// edges[k] = ceil(k * width / parts): the first column c with
// c * parts / width >= k.
template <size_t N>
std::array<uint32_t, N> Edges(uint32_t width) {
  constexpr uint64_t parts = N - 1;
  std::array<uint32_t, N> edges{};
  for (uint64_t k = 0; k < N; ++k)
    edges[k] = static_cast<uint32_t>((k * width + parts - 1) / parts);
  return edges;
}

// c * parts / width, at most parts - 1.
template <size_t N>
uint32_t PartOf(const std::array<uint32_t, N>& edges, uint32_t col) {
  uint32_t part = 0;
  for (size_t k = 1; k + 1 < N; ++k) part += col >= edges[k];
  return part;
}

}  // namespace

FrameMarks::FrameMarks(uint64_t frame) : lit_slot(static_cast<uint32_t>(frame % kTrackSlots)) {
  uint64_t shown = frame % kDigitsModulus;
  for (size_t i = digits.size(); i-- > 0; shown /= 10) digits[i] = static_cast<uint8_t>(shown % 10);
}

bool ChangesWithFrame(RowKind kind) {
  return kind == RowKind::Stamp || kind == RowKind::Track || kind == RowKind::Digits;
}

SceneGeometry::SceneGeometry(uint32_t width, uint32_t height)
    : width_(std::max<uint32_t>(width, 1)),
      height_(std::max<uint32_t>(height, 1)),
      bar_edges_(Edges<9>(width_)),
      slot_edges_(Edges<kTrackSlots + 1>(width_)),
      track_top_(height_ / 2),
      digits_top_(static_cast<uint32_t>(uint64_t{height_} * 5 / 8)),
      ramp_top_(static_cast<uint32_t>(uint64_t{height_} * 3 / 4)),
      marker_unit_(std::max<uint32_t>(1, std::min(width_ / 56, height_ / 18))),
      digit_unit_(std::min((ramp_top_ - digits_top_) / (kGlyphRows + 2),
                           width_ / (kDigits * kDigitPitch + 1))),
      digits_left_((width_ - std::min(width_, (kDigits * kDigitPitch - 1) * digit_unit_)) / 2),
      digits_row_(digits_top_ + (ramp_top_ - digits_top_ - kGlyphRows * digit_unit_) / 2) {}

RowClass SceneGeometry::ClassOf(uint32_t row) const {
  if (row == 0) return {RowKind::Stamp};
  if (row < track_top_) {
    if (row >= marker_unit_ && row - marker_unit_ < kGlyphRows * marker_unit_)
      return {RowKind::Marker, static_cast<uint8_t>((row - marker_unit_) / marker_unit_)};
    return {RowKind::Bars};
  }
  if (row < digits_top_) return {RowKind::Track};
  if (row < ramp_top_) {
    if (digit_unit_ > 0 && row >= digits_row_ && row - digits_row_ < kGlyphRows * digit_unit_)
      return {RowKind::Digits, static_cast<uint8_t>((row - digits_row_) / digit_unit_)};
    return {RowKind::DigitGap};
  }
  return {RowKind::Ramp};
}

Rgb16 SceneGeometry::Colour(RowClass row_class, uint32_t row, uint32_t col,
                            const FrameMarks& marks) const {
  switch (row_class.kind) {
    case RowKind::Stamp:
    case RowKind::Bars:
      return BarColour(col);
    case RowKind::Marker:
      return MarkerColour(row_class.glyph_row, col);
    case RowKind::Track:
      return TrackColour(col, marks);
    case RowKind::DigitGap:
      return kBlack;
    case RowKind::Digits:
      return DigitsColour(row_class.glyph_row, col, marks);
    case RowKind::Ramp:
      return RampColour(row, col);
  }
  return kBlack;
}

std::array<ColumnRange, 2> SceneGeometry::ChangedSinceFrameZero(RowKind kind,
                                                                const FrameMarks& marks) const {
  switch (kind) {
    case RowKind::Stamp:
      return {ColumnRange{0, kStampColumns}};
    case RowKind::Track:
      return {ColumnRange{slot_edges_[0], slot_edges_[1]},
              ColumnRange{slot_edges_[marks.lit_slot], slot_edges_[marks.lit_slot + 1]}};
    case RowKind::Digits: {
      // Frame 0 shows eight zeros; leading zeros stay as they were.
      uint32_t first = 0;
      while (first < kDigits && marks.digits[first] == 0) ++first;
      const uint32_t pitch = kDigitPitch * digit_unit_;
      return {ColumnRange{digits_left_ + first * pitch, digits_left_ + kDigits * pitch}};
    }
    default:
      return {};
  }
}

Rgb16 SceneGeometry::BarColour(uint32_t col) const {
  return kBars[PartOf(bar_edges_, col)];
}

Rgb16 SceneGeometry::MarkerColour(uint32_t glyph_row, uint32_t col) const {
  if (col >= marker_unit_ && Ink(kMarkerGlyph, glyph_row, (col - marker_unit_) / marker_unit_))
    return kBlack;
  return BarColour(col);
}

Rgb16 SceneGeometry::TrackColour(uint32_t col, const FrameMarks& marks) const {
  return PartOf(slot_edges_, col) == marks.lit_slot ? kWhite
                                                    : Rgb16{kTrackGray, kTrackGray, kTrackGray};
}

Rgb16 SceneGeometry::DigitsColour(uint32_t glyph_row, uint32_t col, const FrameMarks& marks) const {
  if (col < digits_left_) return kBlack;
  const uint32_t unit = (col - digits_left_) / digit_unit_;
  const uint32_t cell = unit / kDigitPitch;
  if (cell >= kDigits) return kBlack;
  return Ink(kDigitGlyphs[marks.digits[cell]], glyph_row, unit % kDigitPitch) ? kWhite : kBlack;
}

Rgb16 SceneGeometry::RampColour(uint32_t row, uint32_t col) const {
  const uint64_t band = height_ - ramp_top_;
  const uint64_t last = uint64_t{width_} * band - 1;
  const uint64_t index = uint64_t{col} * band + (row - ramp_top_);
  const uint32_t level =
      last == 0 ? 0 : static_cast<uint32_t>(std::min<uint64_t>(index, last) * kFull / last);
  return {level, level, level};
}

}  // namespace simsdk
