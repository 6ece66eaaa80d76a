// Every format to both outputs, every pixel: the portable kernels against
// the independent reference, every other instruction-set level against the
// portable bytes exactly.  Odd widths, one- and two-pixel edges, widths
// around each vector size and row padding reach the kernels' edge and tail
// code; one wide image is converted at every destination alignment, the
// others at a varying one.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "pixvane/isa_override.h"
#include "test_frames.h"

namespace pixvane_test {
namespace {

using pixvane::Isa;
using pixvane::PixelFormatInfo;

struct Size {
  uint32_t width, height;
};

std::vector<Size> Sizes() {
  std::vector<Size> sizes = {{1, 1}, {1, 6},  {2, 2},  {2, 5},  {6, 1},   {3, 3},
                             {7, 4}, {17, 3}, {36, 5}, {67, 3}, {130, 2}, {203, 3}};
  for (uint32_t width : {1,  2,  3,  5,  8,  15, 16, 17, 18,  31,  32,  33,  34,
                         47, 48, 49, 63, 64, 65, 66, 95, 127, 128, 129, 130, 257})
    sizes.push_back({width, 4});
  return sizes;
}

constexpr uint32_t kEveryAlignmentWidth = 203;

testing::AssertionResult Matches(const Converted& got, const Expected& want) {
  for (size_t i = 0; i < want.pixels.size(); ++i) {
    if (std::abs(int{got.pixels[i]} - int{want.pixels[i]}) > want.tolerance)
      return testing::AssertionFailure()
             << "byte " << i << ": got " << int{got.pixels[i]} << ", want " << int{want.pixels[i]};
  }
  return testing::AssertionSuccess();
}

constexpr const char* kLevelNames[simd::kIsaLevels] = {"Portable", "Ssse3", "Avx2", "Avx512"};

class EveryLevel : public testing::TestWithParam<Isa> {
 protected:
  void TearDown() override { pixvane::ResetIsa(); }
};

// Catches wrong bit extraction, channel order, chroma pairing, demosaicing
// neighbours and mirroring, kernels that mishandle row padding or tails,
// vector kernels that differ from the portable ones in rounding, lane order
// or pixel phase, and reads or writes outside a row or the output.
TEST_P(EveryLevel, EveryFormatEveryPixel) {
  const Isa isa = GetParam();
  if (!pixvane::IsaSupported(isa)) GTEST_SKIP() << "not on this processor";
  size_t next_offset = 0;
  for (const PixelFormatInfo& format : pixvane::kPixelFormats) {
    std::mt19937 rng(format.code);
    for (const Size size : Sizes()) {
      for (const uint32_t padding : {0u, 3u}) {
        const Scene scene = RandomScene(size.width, size.height, format.bits, rng);
        const Source source = Encode(scene, format, padding);
        const bool every_alignment = size.width == kEveryAlignmentWidth && padding == 0;
        for (const Target target : {Target::Mono8, Target::Bgr24}) {
          SCOPED_TRACE(std::string(format.name) + " " + std::to_string(size.width) + "x" +
                       std::to_string(size.height) + " padding " + std::to_string(padding) +
                       (target == Target::Mono8 ? " to Mono8" : " to BGR24"));
          ASSERT_TRUE(pixvane::ForceIsa(Isa::Portable));
          const Converted portable = Convert(target, source);
          ASSERT_EQ(portable.status, 0);
          ASSERT_EQ(portable.out_len, static_cast<int32_t>(portable.pixels.size()));
          if (isa == Isa::Portable) {
            ASSERT_TRUE(Matches(portable, Reference(target, scene, format)));
          }
          ASSERT_TRUE(pixvane::ForceIsa(isa));
          for (size_t k = 0; k < (every_alignment ? 64 : 1); ++k) {
            const size_t offset = every_alignment ? k : next_offset++ % 64;
            const Converted got = Convert(target, source, offset);
            ASSERT_EQ(got.status, 0);
            ASSERT_EQ(got.pixels, portable.pixels) << "offset " << offset;
            ASSERT_FALSE(got.wrote_outside) << "offset " << offset;
          }
        }
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, EveryLevel,
                         testing::Values(Isa::Portable, Isa::Ssse3, Isa::Avx2, Isa::Avx512),
                         [](const auto& p) { return kLevelNames[static_cast<int>(p.param)]; });

// Conversions run on the application's threads at once; catches shared
// scratch state or an unsafe first-time kernel selection (run under the
// thread sanitizer to see races).
TEST(Concurrency, ParallelConversionsAgree) {
  const auto& format = *pixvane::FindPixelFormat(PXV_BayerGB12p);
  std::mt19937 rng(7);
  const Scene scene = RandomScene(101, 31, format.bits, rng);
  const Source source = Encode(scene, format, 2);
  const Converted expected = Convert(Target::Bgr24, source);
  ASSERT_EQ(expected.status, 0);
  std::vector<Converted> results(4);
  std::vector<std::thread> threads;
  for (auto& result : results)
    threads.emplace_back([&] {
      for (int i = 0; i < 20; ++i) result = Convert(Target::Bgr24, source);
    });
  for (auto& t : threads) t.join();
  for (const auto& result : results) EXPECT_EQ(result.pixels, expected.pixels);
}

}  // namespace
}  // namespace pixvane_test
