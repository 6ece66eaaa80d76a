// Every instruction-set level must give the portable kernels' bytes
// exactly, on widths around each vector size so that loop bodies, tails
// and edge pixels are all exercised.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

#include "pixvane/isa_override.h"
#include "test_frames.h"

namespace pixvane_test {
namespace {

using pixvane::Isa;

constexpr uint32_t kWidths[] = {1,  2,  3,  5,  8,  15, 16, 17, 18,  31,  32,  33,  34,
                                47, 48, 49, 63, 64, 65, 66, 95, 127, 128, 129, 130, 257};

class IsaGuard {
 public:
  ~IsaGuard() { pixvane::ResetIsa(); }
};

Converted ConvertAt(Isa isa, Target target, const std::vector<uint8_t>& source,
                    const ConversionInfo& info) {
  EXPECT_TRUE(pixvane::ForceIsa(isa));
  return Convert(target, source, info);
}

struct Level {
  const char* name;
  Isa isa;
};

class EveryLevel : public testing::TestWithParam<Level> {};

// Catches vector kernels that differ from the portable ones in rounding,
// lane order or pixel phase, or that read or write past a row.
TEST_P(EveryLevel, SameBytesAsPortable) {
  const Level level = GetParam();
  if (!pixvane::IsaSupported(level.isa)) GTEST_SKIP() << level.name << " not on this processor";
  IsaGuard reset;
  for (const pixvane::PixelFormatInfo& format : pixvane::kPixelFormats) {
    std::mt19937 rng(format.code);
    for (const uint32_t width : kWidths) {
      for (const uint32_t padding : {0u, 5u}) {
        const Scene scene = RandomScene(width, 4, format.bits, rng);
        const auto source = Encode(scene, format, padding);
        const ConversionInfo info = InfoFor(scene, format.code, padding, source.size());
        for (const Target target : {Target::Mono8, Target::Bgr24}) {
          const Converted portable = ConvertAt(Isa::Portable, target, source, info);
          const Converted vector = ConvertAt(level.isa, target, source, info);
          ASSERT_EQ(portable.status, 0);
          ASSERT_EQ(vector.status, 0);
          ASSERT_EQ(vector.pixels, portable.pixels)
              << format.name << " width " << width << " padding " << padding << " to "
              << (target == Target::Mono8 ? "Mono8" : "BGR24");
        }
      }
    }
  }
}

// Vector loops start from the destination address; catches gaps, overlaps
// that differ, or writes outside the output at any destination alignment.
TEST_P(EveryLevel, SameBytesAtEveryDestinationOffset) {
  const Level level = GetParam();
  if (!pixvane::IsaSupported(level.isa)) GTEST_SKIP() << level.name << " not on this processor";
  IsaGuard reset;
  constexpr uint8_t kUntouched = 0xA5;
  for (const uint32_t code : {PXV_BayerRG8, PXV_BayerGB8, PXV_Mono12, PXV_Mono12Packed, PXV_Mono10p,
                              PXV_Mono8, PXV_RGB8, PXV_BGRa8, PXV_YUV422_8}) {
    const pixvane::PixelFormatInfo& format = *pixvane::FindPixelFormat(code);
    std::mt19937 rng(code);
    const Scene scene = RandomScene(203, 3, format.bits, rng);
    const auto source = Encode(scene, format, 0);
    const ConversionInfo info = InfoFor(scene, code, 0, source.size());
    for (const Target target : {Target::Mono8, Target::Bgr24}) {
      const Converted portable = ConvertAt(Isa::Portable, target, source, info);
      ASSERT_TRUE(pixvane::ForceIsa(level.isa));
      for (size_t offset = 0; offset < 64; ++offset) {
        std::vector<uint8_t> out(portable.pixels.size() + 64, kUntouched);
        std::vector<uint8_t> expected = out;
        std::copy(portable.pixels.begin(), portable.pixels.end(), expected.begin() + offset);
        int32_t len = 0;
        const auto convert =
            target == Target::Mono8 ? PXVANE_ConvertToMono8 : PXVANE_ConvertToBGR24;
        ASSERT_EQ(convert(source.data(), &info, out.data() + offset, &len), 0);
        ASSERT_EQ(out, expected) << format.name << " offset " << offset;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, EveryLevel,
                         testing::Values(Level{"Ssse3", Isa::Ssse3}, Level{"Avx2", Isa::Avx2},
                                         Level{"Avx512", Isa::Avx512}),
                         [](const auto& p) { return std::string(p.param.name); });

// Conversions run on the application's threads at once; catches shared
// scratch state or an unsafe first-time kernel selection (run under the
// thread sanitizer to see races).
TEST(Concurrency, ParallelConversionsAgree) {
  const auto& format = *pixvane::FindPixelFormat(PXV_BayerGB12p);
  std::mt19937 rng(7);
  const Scene scene = RandomScene(101, 31, format.bits, rng);
  const auto source = Encode(scene, format, 2);
  const ConversionInfo info = InfoFor(scene, format.code, 2, source.size());
  const Converted expected = Convert(Target::Bgr24, source, info);
  ASSERT_EQ(expected.status, 0);
  std::vector<Converted> results(4);
  std::vector<std::thread> threads;
  for (auto& result : results)
    threads.emplace_back([&] {
      for (int i = 0; i < 20; ++i) result = Convert(Target::Bgr24, source, info);
    });
  for (auto& t : threads) t.join();
  for (const auto& result : results) EXPECT_EQ(result.pixels, expected.pixels);
}

}  // namespace
}  // namespace pixvane_test
