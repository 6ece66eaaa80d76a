// Every vector kernel against the plain one, over lengths that hit each
// block size and every tail.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "pixel_kernels.h"

namespace {

struct Variant {
  const PixelKernels* kernels;
  const char* name;
};

std::vector<Variant> Variants() {
  const PixelKernels* kernels[8];
  const char* names[8];
  const size_t n = AvailableKernels(kernels, names, 8);
  std::vector<Variant> out;
  for (size_t i = 0; i < n; ++i) out.push_back({kernels[i], names[i]});
  return out;
}

std::vector<size_t> Lengths() {
  std::vector<size_t> lengths(100);
  std::iota(lengths.begin(), lengths.end(), 0);
  lengths.insert(lengths.end(), {127, 128, 129, 1000, 4099});
  return lengths;
}

std::vector<uint8_t> Pattern(size_t n) {
  std::vector<uint8_t> v(n);
  for (size_t i = 0; i < n; ++i) v[i] = static_cast<uint8_t>(i * 7 + i / 251);
  return v;
}

// Catches shuffled lanes, wrong masks and tails that are skipped or
// overrun (one guard byte after every output).
TEST(PixelKernels, EveryVariantMatchesThePlainKernels) {
  const PixelKernels& plain = PortableKernels();
  for (const Variant& v : Variants()) {
    for (size_t n : Lengths()) {
      SCOPED_TRACE(testing::Message() << v.name << " pixels=" << n);
      const std::vector<uint8_t> src = Pattern(3 * n);

      std::vector<uint8_t> expected(3 * n + 1, 0x5A), got(3 * n + 1, 0x5A);
      plain.widen_gray_to_bgr(src.data(), expected.data(), n);
      v.kernels->widen_gray_to_bgr(src.data(), got.data(), n);
      EXPECT_EQ(got, expected);

      std::vector<uint8_t> ea(n + 1, 0x5A), eb(n + 1, 0x5A), ec(n + 1, 0x5A);
      plain.split_planes(src.data(), ea.data(), eb.data(), ec.data(), n);
      std::vector<uint8_t> a(n + 1, 0x5A), b(n + 1, 0x5A), c(n + 1, 0x5A);
      v.kernels->split_planes(src.data(), a.data(), b.data(), c.data(), n);
      EXPECT_EQ(a, ea);
      EXPECT_EQ(b, eb);
      EXPECT_EQ(c, ec);

      const std::vector<uint8_t>* planes[3] = {&ea, &eb, &ec};
      for (int channel = 0; channel < 3; ++channel) {
        std::vector<uint8_t> plane(n + 1, 0x5A);
        v.kernels->extract_plane(src.data(), plane.data(), n, channel);
        EXPECT_EQ(plane, *planes[channel]) << "channel " << channel;
      }
    }
  }
}

}  // namespace
