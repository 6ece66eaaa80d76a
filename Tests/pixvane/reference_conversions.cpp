// Expected outputs computed straight from a scene's pixel values, without
// any of the library's code: the oracle for the format tests.
#include <algorithm>
#include <cmath>

#include "test_frames.h"

namespace pixvane_test {
namespace {

using pixvane::BayerPattern;
using pixvane::Layout;

struct Colour {
  double r, g, b;
};

uint8_t Round(double v) {
  return static_cast<uint8_t>(std::clamp(std::lround(v), 0L, 255L));
}

enum FilterColour { kRed, kGreen, kBlue };

// Filter colour at a position of the pattern extended beyond the image.
FilterColour ColourAt(BayerPattern p, int64_t x, int64_t y) {
  // The 2x2 cell of each pattern, row by row, in the order of BayerPattern.
  static constexpr const char* kCells[] = {"", "GRBG", "RGGB", "GBRG", "BGGR"};
  const char colour = kCells[static_cast<int>(p)][(y & 1) * 2 + (x & 1)];
  return colour == 'R' ? kRed : colour == 'G' ? kGreen : kBlue;
}

// The sample a position outside the image reads: the mirror image across
// the edge pixel, or the edge pixel itself in a one-pixel dimension.
int64_t Mirror(int64_t i, int64_t n) {
  if (i < 0) return n > 1 ? -i : 0;
  if (i >= n) return n > 1 ? 2 * (n - 1) - i : 0;
  return i;
}

// Bilinear demosaicing as a search: each missing colour is the rounded mean
// of the 3x3 neighbours that carry it.
Colour Demosaic(const Scene& s, const pixvane::PixelFormatInfo& f, int64_t x, int64_t y) {
  int sum[3] = {}, count[3] = {};
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      const FilterColour c = ColourAt(f.pattern, x + dx, y + dy);
      const bool own = dx == 0 && dy == 0;
      if (!own && c == ColourAt(f.pattern, x, y)) continue;  // own colour: centre only
      const auto sx = static_cast<uint32_t>(Mirror(x + dx, s.width));
      const auto sy = static_cast<uint32_t>(Mirror(y + dy, s.height));
      sum[c] += s.Sample(sx, sy) >> (f.bits - 8u);
      ++count[c];
    }
  }
  double mean[3];
  for (int c = 0; c < 3; ++c) mean[c] = (sum[c] + count[c] / 2) / count[c];
  return {mean[kRed], mean[kGreen], mean[kBlue]};
}

// BT.601 full range; the last, unpaired pixel of an odd row takes the V of
// the pair before it (128 when there is none).
Colour YuvColour(const Scene& s, uint32_t x, uint32_t y) {
  const size_t left = size_t{y} * s.width + x - x % 2;
  int v = s.bytes[left][2];
  if (x % 2 == 0 && x + 1 == s.width) v = x > 0 ? s.bytes[left - 2][2] : 128;
  const double luma = s.bytes[left + x % 2][0];
  const double cb = s.bytes[left][1] - 128.0;
  const double cr = v - 128.0;
  return {luma + 1.402 * cr, luma - 0.344136 * cb - 0.714136 * cr, luma + 1.772 * cb};
}

}  // namespace

Expected Reference(Target target, const Scene& s, const pixvane::PixelFormatInfo& f) {
  // Each family gives a colour per pixel, and mono and YUV sources also an
  // exact gray; otherwise gray is the colour's BT.601 luma.
  const bool yuv = f.layout == Layout::Yuyv || f.layout == Layout::Uyvy;
  const bool mono =
      f.layout == Layout::Mono || f.layout == Layout::MonoPacked || f.layout == Layout::MonoP;
  const bool bayer = f.pattern != BayerPattern::None;
  Expected e;
  e.tolerance = target == Target::Mono8 ? (mono || yuv ? 0 : 1) : (yuv ? 1 : 0);
  for (uint32_t y = 0; y < s.height; ++y) {
    for (uint32_t x = 0; x < s.width; ++x) {
      const size_t i = size_t{y} * s.width + x;
      Colour c{};
      int gray = -1;
      if (mono) {
        gray = s.samples[i] >> (f.bits - 8);
        c = {double(gray), double(gray), double(gray)};
      } else if (bayer) {
        c = Demosaic(s, f, x, y);
      } else if (yuv) {
        gray = s.bytes[i][0];
        c = YuvColour(s, x, y);
      } else {
        c = {double(s.bytes[i][0]), double(s.bytes[i][1]), double(s.bytes[i][2])};
      }
      if (target == Target::Bgr24) {
        e.pixels.insert(e.pixels.end(), {Round(c.b), Round(c.g), Round(c.r)});
      } else {
        e.pixels.push_back(gray >= 0 ? uint8_t(gray)
                                     : Round(0.299 * c.r + 0.587 * c.g + 0.114 * c.b));
      }
    }
  }
  return e;
}

}  // namespace pixvane_test
