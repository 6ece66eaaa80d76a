// Rendering whole frames fast: the tone table and the distinct rows of
// frame 0 are made once per layout; a frame copies them and redraws only
// where the stamp, the track's bar and the digits differ from frame 0's,
// so it costs about a copy of its bytes.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "pixel_sampler.h"
#include "pixvane/pixel_formats.h"
#include "sim_control.h"

namespace simsdk {

// Bytes of one frame of `layout` in `format`, padding included; 0 when the
// size does not fit the SDK's 32-bit size or the image is empty.
uint64_t FrameBytes(const FrameLayout& layout, const pixvane::PixelFormatInfo& format);

// Frames of one layout.  Immutable once made: frames of any number may be
// rendered from several threads at once.
class FramePlan {
 public:
  // `layout` must have a nonzero FrameBytes in `format`.
  FramePlan(const FrameLayout& layout, const pixvane::PixelFormatInfo& format);

  const FrameLayout& layout() const { return layout_; }
  uint64_t bytes() const { return bytes_; }

  // Writes every byte of frame `frame` into dst (bytes() bytes).
  void Render(uint64_t frame, uint8_t* dst) const;

 private:
  // Rows alike in every column share a slot: one per class and, for a
  // Bayer filter, row parity.  Ramp rows each differ and have none.
  static constexpr uint8_t kNoSlot = 0xFF;
  static constexpr size_t kSlots = 36;
  uint8_t SlotOf(const DeliveredRow& row) const;

  // Delivered columns [begin, end) of `row` into the row's bytes at dst
  // (begin a multiple of 8, so the columns start on a byte).
  void DrawColumns(const PixelSampler& sampler, const DeliveredRow& row, uint32_t begin,
                   uint32_t end, std::vector<uint16_t>& samples, uint8_t* dst) const;
  // Redraws what changed since frame 0 in a row that holds frame 0's.
  void DrawChanges(const PixelSampler& sampler, uint32_t row, std::vector<uint16_t>& samples,
                   uint8_t* dst) const;

  FrameLayout layout_;
  const pixvane::PixelFormatInfo& format_;
  uint64_t row_bytes_, stride_, bytes_;
  std::vector<uint16_t> tone_table_;
  // The distinct rows of frame 0, stride_ bytes each: few of them stay in
  // the cache while a frame is written.
  std::vector<uint8_t> rows_;
  // Per delivered row: whether it changes with the frame, and its row in
  // rows_.
  std::vector<bool> changes_;
  std::vector<uint32_t> source_;
};

}  // namespace simsdk
