// Frame content: the bytes a stream delivers are the published scene in
// the format's memory layout, so the interface's tests can predict every
// pixel; the scene shows what the settings do and converts back to its
// true colours.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <tuple>

#include "conversion.h"
#include "pixvane/pixel_formats.h"
#include "sdk_fixture.h"

namespace sdktest {
namespace {

using pixvane::Layout;
using pixvane::PixelFormatInfo;
using simsdk::FrameLayout;

// Reads sample (row, col, channel) back out of frame bytes, written
// independently of the simulator's encoder.
uint32_t DecodeSample(const std::vector<uint8_t>& bytes, const FrameLayout& l,
                      const PixelFormatInfo& f, uint32_t row, uint32_t col, uint32_t ch) {
  const size_t stride = pixvane::RowBytes(f, l.width) + l.padding_x;
  const uint8_t* r = bytes.data() + stride * row;
  switch (f.layout) {
    case Layout::Mono:
    case Layout::Bayer:
      return f.bits > 8 ? r[2 * col] | (uint32_t{r[2 * col + 1]} << 8) : r[col];
    case Layout::MonoPacked:
    case Layout::BayerPacked: {
      const uint8_t* p = r + 3 * (col / 2);
      const uint32_t low = f.bits - 8;
      const uint32_t mask = (1u << low) - 1;
      return col % 2 == 0 ? (uint32_t{p[0]} << low) | (p[1] & mask)
                          : (uint32_t{p[2]} << low) | ((p[1] >> 4) & mask);
    }
    case Layout::MonoP:
    case Layout::BayerP: {
      uint32_t v = 0;
      for (uint32_t b = 0; b < f.bits; ++b) {
        const size_t bit = size_t{col} * f.bits + b;
        v |= ((r[bit / 8] >> (bit % 8)) & 1u) << b;
      }
      return v;
    }
    case Layout::Rgb:
      return r[3 * col + ch];
    case Layout::Bgr:
      return r[3 * col + 2 - ch];
    case Layout::Rgba:
      return r[4 * col + ch];
    case Layout::Bgra:
      return r[4 * col + (ch < 3 ? 2 - ch : 3)];
    case Layout::Yuyv:
      return r[2 * col + ch];
    case Layout::Uyvy:
      return r[2 * col + 1 - ch];
  }
  return 0;
}

uint32_t Channels(const PixelFormatInfo& f) {
  switch (f.layout) {
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

// A sensor just large enough to show every part of the scene: the stamp,
// the bars with the marker, the track, the digits and the ramp.
FrameLayout WholeScene(const std::string& format) {
  return {.pixel_format = format, .width = 50, .height = 72};
}

class EveryFormat : public ::testing::TestWithParam<PixelFormatInfo> {};

// Catches an encoder that puts a sample's bits in the wrong place (packed
// nibble order, bit-stream order, channel order, odd-width tail, mirrored
// rows), padding with garbage, frame renderings that disagree with the
// per-pixel formula (a stale tone table or row cached across frames or
// settings, a Bayer row of the wrong parity reused), and a stamp that
// loses frame order, a deep format's top bits or alpha, or that the tone
// curve alters.
TEST_P(EveryFormat, RenderedBytesDecodeToTheFormulaWithPaddingZero) {
  const PixelFormatInfo& f = GetParam();
  for (const bool mirror : {false, true}) {
    FrameLayout l = WholeScene(std::string(f.name));
    l.width = 47;  // odd, and a part of the sensor
    l.sensor_width = 50;
    l.reverse_x = l.reverse_y = mirror;
    l.padding_x = 3;
    l.padding_y = 5;
    if (!mirror) {
      l.exposure_time = 14000;
      l.gain = 1.5;
      l.gamma = 0.7;
      l.contrast = 65;
    }
    for (const uint64_t frame : {0xF1E2D3C4B5A69788ull, 0xF1E2D3C4B5A69789ull}) {
      const std::vector<uint8_t> bytes = simsdk::RenderFrame(l, frame);
      const size_t row_bytes = pixvane::RowBytes(f, l.width);
      ASSERT_EQ(bytes.size(), (row_bytes + 3) * l.height + 5);
      for (uint32_t y = 0; y < l.height; ++y) {
        for (uint32_t x = 0; x < l.width; ++x)
          for (uint32_t ch = 0; ch < Channels(f); ++ch)
            ASSERT_EQ(DecodeSample(bytes, l, f, y, x, ch),
                      simsdk::DeliveredSample(l, frame, y, x, ch))
                << "row " << y << " col " << x << " channel " << ch << " mirror " << mirror
                << " frame " << frame;
        for (size_t i = 0; i < 3; ++i) EXPECT_EQ(bytes[(row_bytes + 3) * y + row_bytes + i], 0);
      }
      EXPECT_EQ(simsdk::DeliveredSample(l, frame, 0, 0, Channels(f)), 0u) << "no such channel";
      // The first eight sensor pixels carry the frame number, little
      // endian, in every sample's top 8 bits whatever the tone settings;
      // alpha stays opaque.
      for (uint32_t ch = 0; ch < Channels(f) && !mirror; ++ch)
        for (uint32_t c = 0; c < 8; ++c)
          EXPECT_EQ(simsdk::DeliveredSample(l, frame, 0, c, ch),
                    ch == 3 ? 255u : ((frame >> (8 * c)) & 0xFF) << (f.bits - 8))
              << "stamp column " << c << " channel " << ch;
      for (size_t i = bytes.size() - 5; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0);
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat, ::testing::ValuesIn(pixvane::kPixelFormats),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// A sample of the white bar (49151 of 65535 in the scene) at a row
// without the marker.
uint32_t WhiteBar(const FrameLayout& l) {
  return simsdk::DeliveredSample(l, 0, 30, 2, 0);
}

// Catches a tone curve that ignores a setting or applies it wrongly (the
// expected samples are the published curve worked out by hand), and 8- or
// 12-bit samples that are not the top bits of the 16-bit ones.
TEST(ToneCurve, SettingsChangeTheWhiteBarAsPublished) {
  const double doubling_db = 20 * std::log10(2.0);
  // Exposure time, gain, gamma, contrast, and the white bar in Mono16.
  const std::tuple<double, double, double, int64_t, uint32_t> cases[] = {
      {10000, 0, 1, 50, 49151},           // the scene's own level
      {3000, 0, 1, 50, 14745},            // 0.3 x 49151 = 14745.3
      {3000, doubling_db, 1, 50, 29491},  // gain in dB: twice that
      {20000, 0, 1, 50, 65535},           // saturated
      {10000, 0, 2, 50, 56755},           // 65535 * 0.75^(1/2)
      {10000, 0, 0.5, 50, 36863},         // 65535 * 0.75^2
      {10000, 0, 1, 75, 55937},           // slope 2^(1/2) about the middle
      {10000, 0, 1, 0, 40959},            // slope 1/2: 0.625
      {10000, 0, -1, 50, 49151},          // gamma at or below 0 counts as 1
      {-5, 0, 1, 50, 0},                  // no light
  };
  for (const auto& [exposure_time, gain, gamma, contrast, white] : cases) {
    FrameLayout l = WholeScene("Mono16");
    l.exposure_time = exposure_time;
    l.gain = gain;
    l.gamma = gamma;
    l.contrast = contrast;
    SCOPED_TRACE(testing::Message() << exposure_time << " us, " << gain << " dB, gamma " << gamma
                                    << ", contrast " << contrast);
    EXPECT_EQ(WhiteBar(l), white);
    for (const auto& [format, shift] : {std::pair{"Mono8", 8u}, {"Mono12", 4u}}) {
      l.pixel_format = format;
      EXPECT_EQ(WhiteBar(l), white >> shift) << format;
    }
  }
}

// The colour bars from the left, in 8 bits.
const std::vector<std::vector<uint8_t>> kBars = {{191, 191, 191}, {191, 191, 0}, {0, 191, 191},
                                                 {0, 191, 0},     {191, 0, 191}, {191, 0, 0},
                                                 {0, 0, 191},     {0, 0, 0}};

std::vector<uint8_t> Rgb(const FrameLayout& l, uint64_t frame, uint32_t row, uint32_t col) {
  std::vector<uint8_t> rgb;
  for (uint32_t ch = 0; ch < 3; ++ch)
    rgb.push_back(static_cast<uint8_t>(simsdk::DeliveredSample(l, frame, row, col, ch)));
  return rgb;
}

// Catches a scene whose parts are missing or misplaced: the bars out of
// order, no marker, a track bar that does not move, frames that change
// outside the track, the digits and the stamp (the frame cache would then
// be wrong), and an image that is not the top-left part of the sensor.
TEST(Scene, PartsWhereThePublishedLayoutPutsThem) {
  FrameLayout l = WholeScene("RGB8");
  l.width = l.sensor_width = 240;
  l.height = l.sensor_height = 160;
  const uint32_t bars_row = 60;  // below the marker, above the track
  for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(Rgb(l, 0, bars_row, 30 * i + 15), kBars[i]) << i;
  // Exactly 0 or 49151 of 65535, seen through a 16-bit red-green / green-
  // blue filter.
  FrameLayout deep = l;
  deep.pixel_format = "BayerRG16";
  for (uint32_t i = 0; i < 8; ++i) {
    const uint32_t col = 30 * i + 14;  // even
    const uint32_t rgb[3] = {simsdk::DeliveredSample(deep, 0, bars_row, col, 0),
                             simsdk::DeliveredSample(deep, 0, bars_row, col + 1, 0),
                             simsdk::DeliveredSample(deep, 0, bars_row + 1, col + 1, 0)};
    for (int ch = 0; ch < 3; ++ch) EXPECT_EQ(rgb[ch], kBars[i][ch] ? 49151u : 0u) << i;
  }
  EXPECT_EQ(simsdk::DeliveredSample(deep, 21, 90, 6, 0), 13107u) << "the track's gray";
  // BT.601 full range, worked out by hand: magenta and red.
  FrameLayout yuv = l;
  yuv.pixel_format = "YUV422_8";
  const uint32_t magenta = 30 * 4 + 14, red = 30 * 5;  // red: the bar's first pair
  const std::pair<uint32_t, uint32_t> yuv_points[] = {{magenta, 0}, {magenta, 1}, {magenta + 1, 1},
                                                      {red, 0},     {red, 1},     {red + 1, 1}};
  std::vector<uint32_t> yuv_samples;
  for (const auto& [col, ch] : yuv_points)
    yuv_samples.push_back(simsdk::DeliveredSample(yuv, 0, bars_row, col, ch));
  EXPECT_EQ(yuv_samples, (std::vector<uint32_t>{79, 191, 208, 57, 96, 224}));

  // The F, in units of min(240/56, 160/18) = 4 pixels from (4, 4): its
  // stem, its arms, and the gap below the middle arm.
  const std::vector<uint8_t> black = {0, 0, 0};
  EXPECT_EQ(Rgb(l, 0, 4 + 6 * 4, 4 + 1), black);
  EXPECT_EQ(Rgb(l, 0, 4 + 1, 4 + 4 * 4 + 1), black);
  EXPECT_EQ(Rgb(l, 0, 4 + 3 * 4 + 1, 4 + 3 * 4 + 1), black);
  EXPECT_EQ(Rgb(l, 0, 4 + 5 * 4 + 1, 4 + 3 * 4 + 1), kBars[0]);

  // Track: rows 80..99, 16 slots of 15 columns; frame 21 lights slot 5.
  for (uint32_t slot = 0; slot < 16; ++slot) {
    const uint8_t level = slot == 21 % 16 ? 191 : 51;  // 13107 of 65535 in 8 bits
    EXPECT_EQ(Rgb(l, 21, 90, 15 * slot + 7), (std::vector<uint8_t>(3, level))) << slot;
  }

  // Rows that differ between frames 21 and 30: the stamp, the track (rows
  // 80..99), and the digits of min(20 / 9, 240 / 49) = 2 pixels a unit,
  // centred in rows 100..119, where every glyph row of "21" differs from
  // "30".  Eight digits from column (240 - 47 * 2) / 2 = 73, 12 columns
  // apart: the last two differ, and the first starts with ink.
  const std::vector<uint8_t> f21 = simsdk::RenderFrame(l, 21);
  const std::vector<uint8_t> f30 = simsdk::RenderFrame(l, 30);
  const size_t stride = 3 * l.width;
  std::set<uint32_t> changed, expected = {0};
  uint32_t first_changed = l.width, last_changed = 0;
  for (uint32_t y = 0; y < l.height; ++y) {
    for (uint32_t x = 0; x < stride; ++x) {
      if (f21[stride * y + x] == f30[stride * y + x]) continue;
      changed.insert(y);
      if (y < 100) continue;
      first_changed = std::min(first_changed, x / 3);
      last_changed = std::max(last_changed, x / 3);
    }
  }
  for (uint32_t y = 80; y < 100; ++y) expected.insert(y);
  for (uint32_t y = 103; y < 117; ++y) expected.insert(y);
  EXPECT_EQ(changed, expected);
  EXPECT_EQ(first_changed, 73u + 6 * 12);
  EXPECT_EQ(last_changed, 73u + 7 * 12 + 4 * 2 + 1);
  EXPECT_EQ(Rgb(l, 21, 107, 73), kBars[0]);
  // The digits show the number modulo 10^8; 10^8 frames on, the track's
  // slot is the same, so only the stamp row differs.
  const std::vector<uint8_t> later = simsdk::RenderFrame(l, 100000021);
  EXPECT_TRUE(std::equal(f21.begin() + stride, f21.end(), later.begin() + stride));

  // On a sensor too small for more, the F's unit is one pixel.
  const FrameLayout small = WholeScene("RGB8");
  EXPECT_EQ(Rgb(small, 0, 1, 1), black);
  EXPECT_EQ(Rgb(small, 0, 8, 1), kBars[0]);

  // The ramp of the 50 x 72 sensor: 18 rows from row 54, read column by
  // column, i * 65535 / 899 at neutral settings.
  const FrameLayout ramp = WholeScene("Mono16");
  std::vector<uint32_t> ramp_samples;
  for (const auto& [row, col] : {std::pair{54u, 0u}, {55u, 0u}, {54u, 1u}, {71u, 49u}})
    ramp_samples.push_back(simsdk::DeliveredSample(ramp, 0, row, col, 0));
  EXPECT_EQ(ramp_samples, (std::vector<uint32_t>{0, 72, 1312, 65535}));

  FrameLayout part = l;
  part.width = 64;
  part.height = 48;
  const std::vector<uint8_t> corner = simsdk::RenderFrame(part, 21);
  for (uint32_t y = 0; y < part.height; ++y)
    ASSERT_TRUE(std::equal(corner.begin() + 3 * part.width * y,
                           corner.begin() + 3 * part.width * (y + 1), f21.begin() + stride * y))
        << "row " << y;
}

// Catches a mirror that is not one: the delivered image with ReverseX or
// ReverseY is the plain one flipped within its width or height.
TEST(Scene, ReverseMirrorsThePart) {
  FrameLayout plain = WholeScene("RGB8");
  plain.width = 37;
  plain.height = 70;
  for (const auto& [x, y] : {std::pair{true, false}, {false, true}}) {
    FrameLayout mirrored = plain;
    mirrored.reverse_x = x;
    mirrored.reverse_y = y;
    for (uint32_t r = 0; r < plain.height; ++r)
      for (uint32_t c = 0; c < plain.width; ++c)
        ASSERT_EQ(Rgb(mirrored, 9, r, c),
                  Rgb(plain, 9, y ? plain.height - 1 - r : r, x ? plain.width - 1 - c : c))
            << "row " << r << " col " << c << (x ? " ReverseX" : " ReverseY");
  }
}

// Catches colour layouts sampled so that the conversion library does not
// give the true colours back: a Bayer order read with another's filter, a
// YUV matrix other than the library's, red and blue swapped.  Bars 30
// pixels wide leave interiors that demosaicing reproduces exactly.
TEST(ColourBars, ConvertBackToTheirColoursInEveryColourLayout) {
  for (const char* format :
       {"BayerRG8", "BayerGR8", "BayerGB8", "BayerBG8", "BayerBG12p", "BayerGR10Packed",
        "BayerRG16", "RGB8", "BGRa8", "YUV422_8", "YUV422_8_UYVY"}) {
    FrameLayout l = WholeScene(format);
    l.width = 240;
    l.height = 160;
    l.reverse_x = true;  // the filter follows the delivered image
    const std::vector<uint8_t> frame = simsdk::RenderFrame(l, 3);
    const uint32_t size = static_cast<uint32_t>(frame.size());
    const ConversionInfo info{l.width, l.height, 0,
                              0,       size,     pixvane::FindPixelFormat(format)->code};
    std::vector<uint8_t> bgr(size_t{l.width} * l.height * 3);
    int32_t length = 0;
    ASSERT_EQ(PXVANE_ConvertToBGR24(frame.data(), &info, bgr.data(), &length), 0) << format;
    for (uint32_t bar = 0; bar < 8; ++bar) {
      for (const uint32_t row : {59u, 60u}) {  // both filter rows
        for (const uint32_t col : {l.width - 1 - (30 * bar + 14), l.width - 1 - (30 * bar + 15)}) {
          const uint8_t* p = bgr.data() + 3 * (size_t{row} * l.width + col);
          const std::vector<int> got = {p[2], p[1], p[0]};
          for (int ch = 0; ch < 3; ++ch)
            EXPECT_LE(std::abs(got[ch] - int{kBars[bar][ch]}), 2)
                << format << " bar " << bar << " row " << row << " col " << col;
        }
      }
    }
  }
}

}  // namespace
}  // namespace sdktest
