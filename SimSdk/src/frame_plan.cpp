#include "frame_plan.h"

#include <algorithm>
#include <cstring>

#include "row_encoding.h"

namespace simsdk {
namespace {

using pixvane::Layout;
using pixvane::PixelFormatInfo;

bool HasBayerFilter(const PixelFormatInfo& format) {
  return format.layout == Layout::Bayer || format.layout == Layout::BayerPacked ||
         format.layout == Layout::BayerP;
}

uint64_t RowStride(const FrameLayout& layout, const PixelFormatInfo& format) {
  return pixvane::RowBytes(format, layout.width) + layout.padding_x;
}

// Eight pixels fill whole bytes in every layout (packed pairs, 10- and
// 12-bit streams, Bayer cells, YUV pairs).
constexpr uint64_t kColumnAlignment = 8;

}  // namespace

uint64_t FrameBytes(const FrameLayout& layout, const PixelFormatInfo& format) {
  if (layout.width == 0 || layout.height == 0) return 0;
  // Below 2^32 the stride times the height cannot overflow.
  const uint64_t stride = RowStride(layout, format);
  if (stride > UINT32_MAX) return 0;
  const uint64_t bytes = stride * layout.height + layout.padding_y;
  return bytes > UINT32_MAX ? 0 : bytes;
}

FramePlan::FramePlan(const FrameLayout& layout, const PixelFormatInfo& format)
    : layout_(layout),
      format_(format),
      row_bytes_(pixvane::RowBytes(format, layout.width)),
      stride_(RowStride(layout, format)),
      bytes_(FrameBytes(layout, format)),
      tone_table_(ToneCurve(layout).Table()),
      changes_(layout.height),
      source_(layout.height) {
  const PixelSampler sampler(layout_, format_, 0, tone_table_.data());
  constexpr uint32_t kNone = UINT32_MAX;
  std::array<uint32_t, kSlots> slot_row;
  slot_row.fill(kNone);
  std::vector<uint16_t> samples;
  uint32_t distinct = 0;
  for (uint32_t y = 0; y < layout_.height; ++y) {
    const DeliveredRow row = sampler.Row(y);
    const uint8_t slot = SlotOf(row);
    changes_[y] = ChangesWithFrame(row.row_class.kind);
    if (slot != kNoSlot && slot_row[slot] != kNone) {
      source_[y] = slot_row[slot];
      continue;
    }
    source_[y] = distinct++;
    rows_.resize(stride_ * distinct);
    uint8_t* dst = rows_.data() + stride_ * source_[y];
    DrawColumns(sampler, row, 0, layout_.width, samples, dst);
    std::memset(dst + row_bytes_, 0, layout_.padding_x);
    if (slot != kNoSlot) slot_row[slot] = source_[y];
  }
}

uint8_t FramePlan::SlotOf(const DeliveredRow& row) const {
  uint32_t index = 0;
  switch (row.row_class.kind) {
    case RowKind::Stamp:
      index = 0;
      break;
    case RowKind::Bars:
      index = 1;
      break;
    case RowKind::Marker:
      index = 2 + row.row_class.glyph_row;
      break;
    case RowKind::Track:
      index = 9;
      break;
    case RowKind::DigitGap:
      index = 10;
      break;
    case RowKind::Digits:
      index = 11 + row.row_class.glyph_row;
      break;
    case RowKind::Ramp:
      return kNoSlot;
  }
  return static_cast<uint8_t>(2 * index + (HasBayerFilter(format_) ? row.parity : 0));
}

void FramePlan::DrawColumns(const PixelSampler& sampler, const DeliveredRow& row, uint32_t begin,
                            uint32_t end, std::vector<uint16_t>& samples, uint8_t* dst) const {
  const uint32_t channels = ChannelsOf(format_);
  samples.resize(size_t{end - begin} * channels);
  for (uint32_t x = begin; x < end; ++x)
    sampler.Pixel(row, x, samples.data() + size_t{x - begin} * channels);
  EncodeRow(format_, samples.data(), end - begin, dst + pixvane::RowBytes(format_, begin));
}

void FramePlan::DrawChanges(const PixelSampler& sampler, uint32_t row,
                            std::vector<uint16_t>& samples, uint8_t* dst) const {
  const DeliveredRow delivered = sampler.Row(row);
  const uint64_t width = layout_.width;
  for (const ColumnRange& sensor :
       sampler.geometry().ChangedSinceFrameZero(delivered.row_class.kind, sampler.marks())) {
    const uint64_t begin = std::min<uint64_t>(sensor.begin, width);
    const uint64_t end = std::min<uint64_t>(sensor.end, width);
    if (begin >= end) continue;
    // Delivered column x shows sensor column width - 1 - x when mirrored.
    const uint64_t first = layout_.reverse_x ? width - end : begin;
    const uint64_t last = layout_.reverse_x ? width - begin : end;
    DrawColumns(sampler, delivered,
                static_cast<uint32_t>(first / kColumnAlignment * kColumnAlignment),
                static_cast<uint32_t>(std::min(
                    width, (last + kColumnAlignment - 1) / kColumnAlignment * kColumnAlignment)),
                samples, dst);
  }
}

void FramePlan::Render(uint64_t frame, uint8_t* dst) const {
  const PixelSampler sampler(layout_, format_, frame, tone_table_.data());
  // The first row of each changing slot is frame 0's with the changes
  // drawn; the slot's other rows copy it.
  std::array<const uint8_t*, kSlots> drawn{};
  std::vector<uint16_t> samples;
  for (uint32_t y = 0; y < layout_.height; ++y) {
    uint8_t* row = dst + stride_ * y;
    const uint8_t* frame_zero = rows_.data() + stride_ * source_[y];
    if (!changes_[y]) {
      std::memcpy(row, frame_zero, stride_);
      continue;
    }
    const uint8_t slot = SlotOf(sampler.Row(y));
    if (drawn[slot]) {
      std::memcpy(row, drawn[slot], stride_);
    } else {
      std::memcpy(row, frame_zero, stride_);
      DrawChanges(sampler, y, samples, row);
      drawn[slot] = row;
    }
  }
  std::memset(dst + stride_ * layout_.height, 0, layout_.padding_y);
}

}  // namespace simsdk
