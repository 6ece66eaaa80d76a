#include "frame_conversion.h"

#include <cstring>
#include <vector>

namespace pixvane {
namespace {

void CopyMono(const uint8_t* src, uint8_t* dst, uint32_t width) {
  std::memcpy(dst, src, width);
}
void CopyBgr(const uint8_t* src, uint8_t* dst, uint32_t width) {
  std::memcpy(dst, src, size_t{width} * 3);
}

// The kernel that brings one row of a mono or Bayer layout to 8-bit
// samples; null when the row already is.
RowFn ReduceTo8(const PixelFormatInfo& f, const Kernels& k) {
  switch (f.layout) {
    case Layout::Mono:
    case Layout::Bayer:
      switch (f.bits) {
        case 10:
          return k.mono10_to_8;
        case 12:
          return k.mono12_to_8;
        case 14:
          return k.mono14_to_8;
        case 16:
          return k.mono16_to_8;
        default:
          return nullptr;
      }
    case Layout::MonoPacked:
    case Layout::BayerPacked:
      return k.packed_to_8;
    case Layout::MonoP:
    case Layout::BayerP:
      return f.bits == 10 ? k.p10_to_8 : k.p12_to_8;
    default:
      return nullptr;
  }
}

// The one kernel that turns a source row of a colour layout into the output.
RowFn ColourKernel(Layout layout, Output out, const Kernels& k) {
  const bool mono = out == Output::Mono8;
  switch (layout) {
    case Layout::Rgb:
      return mono ? k.rgb_to_mono : k.rgb_to_bgr;
    case Layout::Bgr:
      return mono ? k.bgr_to_mono : CopyBgr;
    case Layout::Rgba:
      return mono ? k.rgba_to_mono : k.rgba_to_bgr;
    case Layout::Bgra:
      return mono ? k.bgra_to_mono : k.bgra_to_bgr;
    case Layout::Yuyv:
      return mono ? k.yuyv_to_mono : k.yuyv_to_bgr;
    case Layout::Uyvy:
      return mono ? k.uyvy_to_mono : k.uyvy_to_bgr;
    default:
      return nullptr;
  }
}

bool IsBayer(Layout layout) {
  return layout == Layout::Bayer || layout == Layout::BayerPacked || layout == Layout::BayerP;
}

void ConvertRows(const Frame& f, RowFn kernel, size_t out_row_bytes, uint8_t* dst) {
  const uint8_t* src = f.src;
  for (uint32_t y = 0; y < f.height; ++y, src += f.src_stride, dst += out_row_bytes)
    kernel(src, dst, f.width);
}

void ConvertMonoRows(const Frame& f, RowFn reduce, Output out, const Kernels& k, uint8_t* dst) {
  if (out == Output::Mono8) {
    ConvertRows(f, reduce ? reduce : CopyMono, f.width, dst);
    return;
  }
  const size_t out_row = size_t{f.width} * 3;
  if (reduce == nullptr) {
    ConvertRows(f, k.gray_to_bgr, out_row, dst);
    return;
  }
  std::vector<uint8_t> line(f.width);
  const uint8_t* src = f.src;
  for (uint32_t y = 0; y < f.height; ++y, src += f.src_stride, dst += out_row) {
    reduce(src, line.data(), f.width);
    k.gray_to_bgr(line.data(), dst, f.width);
  }
}

BayerRowKind RowKind(BayerPattern pattern, uint32_t y) {
  const bool odd = (y & 1u) != 0;
  const bool top_red = pattern == BayerPattern::GR || pattern == BayerPattern::RG;
  const bool top_green_first = pattern == BayerPattern::GR || pattern == BayerPattern::GB;
  return BayerRowKind{top_red != odd, top_green_first != odd};
}

// 8-bit rows of a Bayer source, reduced on demand into a ring of three lines
// when the source has more bits.  Row -1 and row `height` mirror to rows 1
// and height-2, which keep the pattern; a one-row image mirrors to itself.
class BayerRows {
 public:
  BayerRows(const Frame& f, RowFn reduce) : frame_(f), reduce_(reduce) {
    if (reduce_ != nullptr) lines_.resize(size_t{3} * f.width);
  }

  const uint8_t* Row(int64_t y) {
    const int64_t h = frame_.height;
    if (y < 0) y = h > 1 ? 1 : 0;
    if (y >= h) y = h > 1 ? h - 2 : 0;
    const uint8_t* src = frame_.src + static_cast<size_t>(y) * frame_.src_stride;
    if (reduce_ == nullptr) return src;
    const size_t slot = static_cast<size_t>(y % 3);
    uint8_t* line = lines_.data() + slot * frame_.width;
    if (held_[slot] != y) {
      reduce_(src, line, frame_.width);
      held_[slot] = y;
    }
    return line;
  }

 private:
  const Frame& frame_;
  RowFn reduce_;
  std::vector<uint8_t> lines_;
  int64_t held_[3] = {-1, -1, -1};
};

void ConvertBayer(const Frame& f, RowFn reduce, Output out, const Kernels& k, uint8_t* dst) {
  const BayerRowFn kernel = out == Output::Mono8 ? k.bayer_to_mono : k.bayer_to_bgr;
  const size_t out_row = size_t{f.width} * (out == Output::Mono8 ? 1 : 3);
  BayerRows rows(f, reduce);
  for (uint32_t y = 0; y < f.height; ++y, dst += out_row) {
    const uint8_t* cur = rows.Row(y);
    const uint8_t* up = rows.Row(int64_t{y} - 1);
    const uint8_t* down = rows.Row(int64_t{y} + 1);
    kernel(up, cur, down, dst, f.width, RowKind(f.format->pattern, y));
  }
}

}  // namespace

void ConvertFrame(const Frame& f, Output out, const Kernels& k, uint8_t* dst) {
  const Layout layout = f.format->layout;
  if (RowFn colour = ColourKernel(layout, out, k)) {
    ConvertRows(f, colour, size_t{f.width} * (out == Output::Mono8 ? 1 : 3), dst);
  } else if (IsBayer(layout)) {
    ConvertBayer(f, ReduceTo8(*f.format, k), out, k, dst);
  } else {
    ConvertMonoRows(f, ReduceTo8(*f.format, k), out, k, dst);
  }
}

}  // namespace pixvane
