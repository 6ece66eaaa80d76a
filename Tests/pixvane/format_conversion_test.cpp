// Every format to both outputs against the independent reference, on small
// images whose odd widths, one- and two-pixel edges and row padding reach
// the kernels' edge and tail code.
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "reference_conversions.h"
#include "test_frames.h"

namespace pixvane {
// Readable test parameters in failure messages.
inline void PrintTo(const PixelFormatInfo& f, std::ostream* os) {
  *os << f.name;
}
}  // namespace pixvane

namespace pixvane_test {
namespace {

using pixvane::PixelFormatInfo;

struct Size {
  uint32_t width, height;
};

constexpr Size kSizes[] = {{1, 1}, {1, 6},  {2, 2},  {2, 5},  {6, 1},  {3, 3},
                           {7, 4}, {17, 3}, {36, 5}, {67, 3}, {130, 2}};
constexpr uint32_t kPaddings[] = {0, 3};

testing::AssertionResult Matches(const Converted& got, const Expected& want) {
  if (got.status != 0) return testing::AssertionFailure() << "status " << got.status;
  if (got.out_len != static_cast<int32_t>(want.pixels.size()))
    return testing::AssertionFailure() << "out_len " << got.out_len;
  for (size_t i = 0; i < want.pixels.size(); ++i) {
    if (std::abs(int{got.pixels[i]} - int{want.pixels[i]}) > want.tolerance)
      return testing::AssertionFailure()
             << "byte " << i << ": got " << int{got.pixels[i]} << ", want " << int{want.pixels[i]};
  }
  return testing::AssertionSuccess();
}

class EveryFormat : public testing::TestWithParam<PixelFormatInfo> {};

// Catches wrong bit extraction, channel order, chroma pairing, demosaicing
// neighbours and mirroring, and kernels that mishandle row padding or tails.
TEST_P(EveryFormat, MatchesReferenceForBothOutputs) {
  const PixelFormatInfo& format = GetParam();
  std::mt19937 rng(format.code);
  for (const Size size : kSizes) {
    for (const uint32_t padding : kPaddings) {
      SCOPED_TRACE(std::to_string(size.width) + "x" + std::to_string(size.height) + " padding " +
                   std::to_string(padding));
      const Scene scene = RandomScene(size.width, size.height, format.bits, rng);
      const auto source = Encode(scene, format, padding);
      const ConversionInfo info = InfoFor(scene, format.code, padding, source.size());
      EXPECT_TRUE(Matches(Convert(Target::Mono8, source, info), ReferenceMono8(scene, format)));
      EXPECT_TRUE(Matches(Convert(Target::Bgr24, source, info), ReferenceBgr24(scene, format)));
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, EveryFormat, testing::ValuesIn(pixvane::kPixelFormats),
                         [](const auto& p) { return std::string(p.param.name); });

// A uniformly coloured scene seen through every Bayer filter must come out
// uniform, borders included: catches edges that mirror onto the wrong
// filter colour or that average in missing neighbours as zero.
TEST(BayerBorders, UniformSceneStaysUniform) {
  constexpr uint8_t kR = 200, kG = 90, kB = 30;
  for (const PixelFormatInfo& format : pixvane::kPixelFormats) {
    if (format.pattern == pixvane::BayerPattern::None) continue;
    for (const Size size : {Size{2, 2}, Size{3, 2}, Size{2, 7}, Size{5, 5}, Size{40, 3}}) {
      SCOPED_TRACE(std::string(format.name) + " " + std::to_string(size.width) + "x" +
                   std::to_string(size.height));
      std::mt19937 rng(1);
      Scene scene = RandomScene(size.width, size.height, format.bits, rng);
      // Each pixel gets its filter's colour in its top 8 bits.
      for (uint32_t y = 0; y < size.height; ++y)
        for (uint32_t x = 0; x < size.width; ++x) {
          const bool top_red = format.pattern == pixvane::BayerPattern::GR ||
                               format.pattern == pixvane::BayerPattern::RG;
          const bool top_green_first = format.pattern == pixvane::BayerPattern::GR ||
                                       format.pattern == pixvane::BayerPattern::GB;
          const bool red_row = top_red != (y % 2 == 1);
          const bool green = (x % 2 == 1) != (top_green_first != (y % 2 == 1));
          const uint8_t colour = green ? kG : (red_row ? kR : kB);
          scene.samples[size_t{y} * size.width + x] =
              static_cast<uint16_t>(colour << (format.bits - 8));
        }
      const auto source = Encode(scene, format, 0);
      const ConversionInfo info = InfoFor(scene, format.code, 0, source.size());
      const Converted bgr = Convert(Target::Bgr24, source, info);
      ASSERT_EQ(bgr.status, 0);
      for (size_t i = 0; i < bgr.pixels.size(); i += 3) {
        ASSERT_EQ(bgr.pixels[i], kB) << "pixel " << i / 3;
        ASSERT_EQ(bgr.pixels[i + 1], kG) << "pixel " << i / 3;
        ASSERT_EQ(bgr.pixels[i + 2], kR) << "pixel " << i / 3;
      }
      const Converted mono = Convert(Target::Mono8, source, info);
      ASSERT_EQ(mono.status, 0);
      for (const uint8_t v : mono.pixels) ASSERT_EQ(v, mono.pixels[0]);
    }
  }
}

}  // namespace
}  // namespace pixvane_test
