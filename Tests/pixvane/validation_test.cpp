// Arguments a caller can get wrong: each must be refused before any pixel
// is read or written, and a refusal must never look like success.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "test_frames.h"

namespace pixvane_test {
namespace {

// Catches sizes checked without the row padding, products that wrap
// around, lengths beyond an int32, failures reported with a non-zero length
// or after writing, a missing null check, and a frame refused for lacking
// the image padding after its last row (which is optional).
TEST(Validation, RefusesWhatItCannotConvertSafely) {
  constexpr uint32_t kMax = std::numeric_limits<uint32_t>::max();
  // 4x3 Mono12 needs 8 bytes per row; with 2 bytes of row padding, 30 bytes.
  constexpr ConversionInfo kGood{4, 3, 2, 0, 30, PXV_Mono12};
  const struct {
    const char* what;
    ConversionInfo info;  // width, height, row padding, image padding, data size, format
    bool accepted;
  } cases[] = {
      // clang-format off
      {"exact size without image padding", {4, 3, 2, 64, 30, PXV_Mono12}, true},
      {"zero width", {0, 3, 2, 0, 30, PXV_Mono12}, false},
      {"zero height", {4, 0, 2, 0, 30, PXV_Mono12}, false},
      {"unknown format", {4, 3, 2, 0, 30, 0x01080099u}, false},
      {"last row's padding missing", {4, 3, 2, 0, 28, PXV_Mono12}, false},
      {"one byte short", {4, 3, 2, 0, 29, PXV_Mono12}, false},
      {"no data", {4, 3, 2, 0, 0, PXV_Mono12}, false},
      {"padding overflows the row size", {4, 3, kMax, 0, 30, PXV_Mono12}, false},
      {"row size times height overflows 32 bits", {0x10000, 0x10000, 0, 0, kMax, PXV_Mono8}, false},
      {"output beyond an int32 length", {0x10000, 0x8000, 0, 0, kMax, PXV_Mono8}, false},
      // clang-format on
  };
  const struct {
    const char* name;
    int32_t (*fn)(const uint8_t*, const ConversionInfo*, uint8_t*, int32_t*);
    uint32_t channels;
  } converters[] = {{"Mono8", PXVANE_ConvertToMono8, 1}, {"BGR24", PXVANE_ConvertToBGR24, 3}};
  for (const auto& converter : converters) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(converter.name) + ": " + c.what);
      // Never more than a page: a converter that reads anyway faults on the guard.
      GuardedBlock src(std::min<uint32_t>(c.info.data_size, 64));
      const size_t out_size =
          c.accepted ? size_t{c.info.width} * c.info.height * converter.channels : 64;
      std::vector<uint8_t> dst(out_size, 0x11);
      int32_t out_len = 77;
      const int32_t status = converter.fn(src.data(), &c.info, dst.data(), &out_len);
      EXPECT_EQ(status == 0, c.accepted);
      EXPECT_EQ(out_len, c.accepted ? static_cast<int32_t>(out_size) : 0);
      if (!c.accepted) {
        EXPECT_EQ(dst, std::vector<uint8_t>(out_size, 0x11)) << "wrote into the output";
      }
    }
    std::vector<uint8_t> src(kGood.data_size), dst(64);
    int32_t out_len = 0;
    EXPECT_NE(converter.fn(nullptr, &kGood, dst.data(), &out_len), 0);
    EXPECT_NE(converter.fn(src.data(), nullptr, dst.data(), &out_len), 0);
    EXPECT_NE(converter.fn(src.data(), &kGood, nullptr, &out_len), 0);
    EXPECT_NE(converter.fn(src.data(), &kGood, dst.data(), nullptr), 0);
  }
}

}  // namespace
}  // namespace pixvane_test
