#include "reference_conversions.h"

#include <algorithm>
#include <cmath>

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

uint8_t Bt601Luma(const Colour& c) {
  return Round(0.299 * c.r + 0.587 * c.g + 0.114 * c.b);
}

bool IsBayer(Layout l) {
  return l == Layout::Bayer || l == Layout::BayerPacked || l == Layout::BayerP;
}
bool IsMono(Layout l) {
  return l == Layout::Mono || l == Layout::MonoPacked || l == Layout::MonoP;
}

enum FilterColour { kRed, kGreen, kBlue };

// Filter colour at a position of the pattern extended beyond the image.
FilterColour ColourAt(BayerPattern p, int64_t x, int64_t y) {
  const int cx = static_cast<int>(((x % 2) + 2) % 2);
  const int cy = static_cast<int>(((y % 2) + 2) % 2);
  static constexpr FilterColour kGR[2][2] = {{kGreen, kRed}, {kBlue, kGreen}};
  static constexpr FilterColour kRG[2][2] = {{kRed, kGreen}, {kGreen, kBlue}};
  static constexpr FilterColour kGB[2][2] = {{kGreen, kBlue}, {kRed, kGreen}};
  static constexpr FilterColour kBG[2][2] = {{kBlue, kGreen}, {kGreen, kRed}};
  switch (p) {
    case BayerPattern::GR:
      return kGR[cy][cx];
    case BayerPattern::RG:
      return kRG[cy][cx];
    case BayerPattern::GB:
      return kGB[cy][cx];
    default:
      return kBG[cy][cx];
  }
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
std::vector<std::array<uint8_t, 3>> Demosaic(const Scene& s, const pixvane::PixelFormatInfo& f) {
  const unsigned shift = f.bits - 8u;
  std::vector<std::array<uint8_t, 3>> out(size_t{s.width} * s.height);
  for (int64_t y = 0; y < s.height; ++y) {
    for (int64_t x = 0; x < s.width; ++x) {
      std::array<int, 3> sum{}, count{};
      for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
          const FilterColour c = ColourAt(f.pattern, x + dx, y + dy);
          const bool own = dx == 0 && dy == 0;
          if (!own && c == ColourAt(f.pattern, x, y)) continue;  // own colour: centre only
          const auto sx = static_cast<uint32_t>(Mirror(x + dx, s.width));
          const auto sy = static_cast<uint32_t>(Mirror(y + dy, s.height));
          sum[c] += s.Sample(sx, sy) >> shift;
          ++count[c];
        }
      }
      auto& px = out[static_cast<size_t>(y * s.width + x)];
      for (int c = 0; c < 3; ++c) px[c] = static_cast<uint8_t>((sum[c] + count[c] / 2) / count[c]);
    }
  }
  return out;
}

struct YuvPixel {
  int y, u, v;
};

YuvPixel YuvAt(const Scene& s, uint32_t x, uint32_t y) {
  const uint32_t pairs = (s.width + 1) / 2;
  const auto& uv = s.chroma[size_t{y} * pairs + x / 2];
  int v = uv[1];
  if (x % 2 == 0 && x + 1 == s.width)  // the last, unpaired pixel of an odd row
    v = x > 0 ? s.chroma[size_t{y} * pairs + x / 2 - 1][1] : 128;
  return {s.luma[size_t{y} * s.width + x], uv[0], v};
}

Colour YuvToColour(const YuvPixel& p) {
  const double u = p.u - 128.0;
  const double v = p.v - 128.0;
  return {p.y + 1.402 * v, p.y - 0.344136 * u - 0.714136 * v, p.y + 1.772 * u};
}

}  // namespace

Expected ReferenceMono8(const Scene& s, const pixvane::PixelFormatInfo& f) {
  const size_t n = size_t{s.width} * s.height;
  Expected e{std::vector<uint8_t>(n), 0};
  if (IsMono(f.layout)) {
    for (size_t i = 0; i < n; ++i) e.pixels[i] = static_cast<uint8_t>(s.samples[i] >> (f.bits - 8));
  } else if (IsBayer(f.layout)) {
    const auto colours = Demosaic(s, f);
    for (size_t i = 0; i < n; ++i)
      e.pixels[i] = Bt601Luma(
          {double(colours[i][kRed]), double(colours[i][kGreen]), double(colours[i][kBlue])});
    e.tolerance = 1;
  } else if (f.layout == Layout::Yuyv || f.layout == Layout::Uyvy) {
    e.pixels = s.luma;
  } else {
    for (size_t i = 0; i < n; ++i)
      e.pixels[i] = Bt601Luma({double(s.rgba[i][0]), double(s.rgba[i][1]), double(s.rgba[i][2])});
    e.tolerance = 1;
  }
  return e;
}

Expected ReferenceBgr24(const Scene& s, const pixvane::PixelFormatInfo& f) {
  const size_t n = size_t{s.width} * s.height;
  Expected e{std::vector<uint8_t>(3 * n), 0};
  auto put = [&](size_t i, uint8_t r, uint8_t g, uint8_t b) {
    e.pixels[3 * i] = b;
    e.pixels[3 * i + 1] = g;
    e.pixels[3 * i + 2] = r;
  };
  if (IsMono(f.layout)) {
    for (size_t i = 0; i < n; ++i) {
      const auto gray = static_cast<uint8_t>(s.samples[i] >> (f.bits - 8));
      put(i, gray, gray, gray);
    }
  } else if (IsBayer(f.layout)) {
    const auto colours = Demosaic(s, f);
    for (size_t i = 0; i < n; ++i) put(i, colours[i][kRed], colours[i][kGreen], colours[i][kBlue]);
  } else if (f.layout == Layout::Yuyv || f.layout == Layout::Uyvy) {
    for (uint32_t y = 0; y < s.height; ++y)
      for (uint32_t x = 0; x < s.width; ++x) {
        const Colour c = YuvToColour(YuvAt(s, x, y));
        put(size_t{y} * s.width + x, Round(c.r), Round(c.g), Round(c.b));
      }
    e.tolerance = 1;
  } else {
    for (size_t i = 0; i < n; ++i) put(i, s.rgba[i][0], s.rgba[i][1], s.rgba[i][2]);
  }
  return e;
}

}  // namespace pixvane_test
