// Frame content: the bytes a stream delivers are the published formula in
// the format's memory layout, so the interface's tests can predict pixels.
#include <gtest/gtest.h>

#include <set>
#include <string>

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

class EveryFormat : public ::testing::TestWithParam<PixelFormatInfo> {};

// Catches an encoder that puts a sample's bits in the wrong place (packed
// nibble order, bit-stream order, channel order, odd-width tail, mirrored
// rows), or that leaves garbage in the padding.
TEST_P(EveryFormat, RenderedBytesDecodeToTheFormulaWithPaddingZero) {
  const PixelFormatInfo& f = GetParam();
  for (const bool mirror : {false, true}) {
    const FrameLayout l{std::string(f.name), 11, 3, mirror, mirror, 3, 5};
    const uint64_t frame = 0x0102030405060708ull + mirror;
    const std::vector<uint8_t> bytes = simsdk::RenderFrame(l, frame);
    const size_t row_bytes = pixvane::RowBytes(f, l.width);
    ASSERT_EQ(bytes.size(), (row_bytes + 3) * 3 + 5);
    for (uint32_t y = 0; y < l.height; ++y) {
      for (uint32_t x = 0; x < l.width; ++x)
        for (uint32_t ch = 0; ch < Channels(f); ++ch)
          ASSERT_EQ(DecodeSample(bytes, l, f, y, x, ch),
                    simsdk::DeliveredSample(l, frame, y, x, ch))
              << "row " << y << " col " << x << " channel " << ch << " mirror " << mirror;
      for (size_t i = 0; i < 3; ++i) EXPECT_EQ(bytes[(row_bytes + 3) * y + row_bytes + i], 0);
    }
    for (size_t i = bytes.size() - 5; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat, ::testing::ValuesIn(pixvane::kPixelFormats),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

// Catches a formula that hides frame order (the stamp) or that leaves the
// low bits of deep formats constant (conversion faults would go unseen).
TEST(FrameFormula, StampCarriesFrameNumberAndDeepFormatsVaryInLowBits) {
  const uint64_t frame = 0xF1E2D3C4B5A69788ull;
  for (const char* format : {"Mono8", "Mono12", "Mono16", "RGB8"}) {
    const uint32_t bits = pixvane::FindPixelFormat(format)->layout == Layout::Rgb
                              ? 8
                              : pixvane::FindPixelFormat(format)->bits;
    uint64_t decoded = 0;
    for (uint32_t c = 0; c < 8; ++c)
      decoded |= uint64_t{simsdk::SensorSample(format, frame, 0, c, 0) >> (bits - 8)} << (8 * c);
    EXPECT_EQ(decoded, frame) << format;
  }
  for (const char* format : {"Mono10", "Mono12", "Mono16", "Mono12Packed"}) {
    std::set<uint32_t> low_nibbles;
    for (uint32_t c = 0; c < 32; ++c)
      low_nibbles.insert(simsdk::SensorSample(format, 0, 5, c, 0) & 0x3);
    EXPECT_EQ(low_nibbles.size(), 4u) << format;
  }
}

using Streamed = SimTest;

// Catches a stream that delivers a stale or half-stamped buffer (pool
// reuse), wrong metadata, or a frame that does not follow the current
// settings (format, size, mirroring, padding), also after the geometry
// changed between two acquisitions (only the stamp row rewritten).  The
// encoder is checked per format above; these formats cover the stream's
// layout families.
TEST_F(Streamed, FramesEqualRenderFrameAndFollowLayoutChanges) {
  for (const char* format : {"Mono12Packed", "RGB8", "YUV422_8"}) {
    SCOPED_TRACE(format);
    FrameLayout layout{format, 64, 6, true, false, 2, 7};
    simsdk::CameraConfig c = SmallCamera("A", format, layout.width, layout.height);
    c.reverse_x.value = layout.reverse_x;
    c.padding_x = layout.padding_x;
    c.padding_y = layout.padding_y;
    c.buffer_count = 2;
    simsdk::SetCameras({c});
    StreamOwner s{OpenStream("A")};
    ASSERT_NE(s.stream, nullptr);
    for (const bool mirror_rows : {false, true}) {
      layout.reverse_y = mirror_rows;
      simsdk::UpdateCamera("A",
                           [&](simsdk::CameraConfig& cc) { cc.reverse_y.value = mirror_rows; });
      ASSERT_EQ(s.stream->startGrabbing(s.stream, 0, 1), 0);
      // More frames than buffers, so every buffer is reused and restamped.
      for (uint64_t n = 0; n < 5; ++n) {
        FrameOwner f = GetFrame(s.stream, 1000);
        ASSERT_NE(f.frame, nullptr);
        GENICAM_Frame* fr = f.frame;
        const std::vector<uint8_t> expected = simsdk::RenderFrame(layout, n);
        ASSERT_EQ(fr->getBlockId(fr), n);
        ASSERT_EQ(fr->getImageSize(fr), expected.size());
        EXPECT_EQ(fr->valid(fr), 0);
        EXPECT_EQ(fr->getImageWidth(fr), layout.width);
        EXPECT_EQ(fr->getImageHeight(fr), layout.height);
        EXPECT_EQ(fr->getImagePixelFormat(fr), pixvane::FindPixelFormat(format)->code);
        EXPECT_EQ(fr->getImagePaddingX(fr), layout.padding_x);
        EXPECT_EQ(fr->getImagePaddingY(fr), layout.padding_y);
        ASSERT_EQ(std::vector<uint8_t>(fr->getImage(fr), fr->getImage(fr) + expected.size()),
                  expected)
            << "frame " << n;
      }
      ASSERT_EQ(s.stream->stopGrabbing(s.stream), 0);
    }
  }
}

// Catches a disagreement between the simulator's memory layouts and the
// conversion library's reading of them: the library's Mono8 output must be
// the top 8 bits of each formula sample.
TEST(ConversionAgreement, ConverterReadsTheTopBitsOfEverySample) {
  for (const char* format : {"Mono8", "Mono10", "Mono12", "Mono16", "Mono10Packed", "Mono12Packed",
                             "Mono10p", "Mono12p"}) {
    const PixelFormatInfo& f = *pixvane::FindPixelFormat(format);
    const FrameLayout l{format, 13, 3, true, true, 4, 2};
    const std::vector<uint8_t> bytes = simsdk::RenderFrame(l, 77);
    const ConversionInfo info{
        l.width, l.height, l.padding_x, l.padding_y, static_cast<uint32_t>(bytes.size()), f.code};
    std::vector<uint8_t> out(l.width * l.height);
    int32_t out_len = 0;
    ASSERT_EQ(PXVANE_ConvertToMono8(bytes.data(), &info, out.data(), &out_len), 0) << format;
    std::vector<uint8_t> expected(out.size());
    for (uint32_t y = 0; y < l.height; ++y)
      for (uint32_t x = 0; x < l.width; ++x)
        expected[y * l.width + x] =
            static_cast<uint8_t>(simsdk::DeliveredSample(l, 77, y, x, 0) >> (f.bits - 8));
    EXPECT_EQ(out, expected) << format;
  }
}

}  // namespace
}  // namespace sdktest
