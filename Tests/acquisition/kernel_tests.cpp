// The interface's byte kernels at every instruction-set level against plain
// loops, over lengths around each vector size and at every destination
// offset within a vector, so loop bodies, aligned starts and overlapping
// last vectors are all exercised.  Sources are allocated to their exact
// size, so the address sanitizer sees any read past them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/pixel_kernels.h"

namespace {

using simd::Isa;

constexpr size_t kLengths[] = {0,  1,  15, 16,  17,  31,  32,  33,  47,  63,
                               64, 65, 95, 127, 128, 129, 191, 192, 257, 1000};
constexpr size_t kOffsets = 64;  // the widest vector
constexpr uint8_t kUntouched = 0xA5;

// A destination of `n` bytes at `offset` with untouched bytes around.
std::vector<uint8_t> Destination(size_t n) {
  return std::vector<uint8_t>(n + kOffsets + 1, kUntouched);
}

// What the destination must hold after a kernel wrote `bytes` at `offset`.
std::vector<uint8_t> Expected(size_t offset, const std::vector<uint8_t>& bytes) {
  std::vector<uint8_t> out = Destination(bytes.size());
  std::copy(bytes.begin(), bytes.end(), out.begin() + static_cast<ptrdiff_t>(offset));
  return out;
}

constexpr const char* kLevelNames[simd::kIsaLevels] = {"Portable", "Ssse3", "Avx2", "Avx512"};

class EveryLevel : public testing::TestWithParam<Isa> {};

// Catches shuffled lanes, wrong masks, a tail skipped or overrun, and a
// last vector or aligned start that writes other bytes than the plain loop,
// in the widening, in the plane split (whose three planes start at
// unrelated alignments) and in each single plane's extraction.
TEST_P(EveryLevel, KernelsMatchThePlainLoops) {
  if (!simd::Supported(GetParam())) GTEST_SKIP() << "not on this processor";
  const PixelKernels* kernels = PixelKernelsAt(GetParam());
  ASSERT_NE(kernels, nullptr);
  for (const size_t n : kLengths) {
    std::vector<uint8_t> triples(3 * n), widened, planes[3];
    for (size_t i = 0; i < triples.size(); ++i) {
      triples[i] = static_cast<uint8_t>(i * 7 + i / 251);
      planes[i % 3].push_back(triples[i]);
    }
    const std::vector<uint8_t> gray(triples.begin(), triples.begin() + n);
    for (const uint8_t g : gray) widened.insert(widened.end(), {g, g, g});
    for (size_t offset = 0; offset < kOffsets; ++offset) {
      SCOPED_TRACE(testing::Message() << n << " pixels at offset " << offset);
      std::vector<uint8_t> out = Destination(3 * n);
      kernels->widen_gray_to_bgr(gray.data(), out.data() + offset, n);
      ASSERT_EQ(out, Expected(offset, widened)) << "widened";
      const size_t offsets[3] = {offset, (offset + 7) % kOffsets, (offset + 45) % kOffsets};
      std::vector<uint8_t> split[3] = {Destination(n), Destination(n), Destination(n)};
      kernels->split_planes(triples.data(), split[0].data() + offsets[0],
                            split[1].data() + offsets[1], split[2].data() + offsets[2], n);
      for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(split[c], Expected(offsets[c], planes[c])) << "plane " << c;
        std::vector<uint8_t> single = Destination(n);
        kernels->extract_plane[c](triples.data(), single.data() + offset, n);
        ASSERT_EQ(single, Expected(offset, planes[c])) << "single plane " << c;
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, EveryLevel,
                         testing::Values(Isa::Portable, Isa::Ssse3, Isa::Avx2, Isa::Avx512),
                         [](const auto& p) { return kLevelNames[static_cast<int>(p.param)]; });

// Catches a choice of kernels the processor cannot run, or of slower ones
// than it can.
TEST(KernelChoice, TheActiveKernelsAreTheHighestLevelThisProcessorRuns) {
  const Isa best = simd::Best();
  EXPECT_TRUE(simd::Supported(best));
  for (int level = static_cast<int>(best) + 1; level < simd::kIsaLevels; ++level) {
    EXPECT_FALSE(simd::Supported(static_cast<Isa>(level))) << level;
  }
  EXPECT_EQ(&ActivePixelKernels(), PixelKernelsAt(best));
}

}  // namespace
