// Arguments a caller can get wrong: each must be refused before any pixel
// is read or written, and a refusal must never look like success.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "test_frames.h"

namespace pixvane_test {
namespace {

using ConvertFn = int32_t (*)(const uint8_t*, const ConversionInfo*, uint8_t*, int32_t*);

struct ConverterCase {
  const char* name;
  ConvertFn fn;
  uint32_t channels;
};

constexpr ConverterCase kConverters[] = {{"Mono8", PXVANE_ConvertToMono8, 1},
                                         {"BGR24", PXVANE_ConvertToBGR24, 3}};

struct BadInfo {
  const char* what;
  ConversionInfo info;
};

// 4x3 Mono12 needs 8 bytes per row; with 2 bytes of row padding, 30 bytes.
constexpr ConversionInfo kGood{4, 3, 2, 0, 30, PXV_Mono12};

std::vector<BadInfo> BadInfos() {
  auto with = [](auto change) {
    ConversionInfo i = kGood;
    change(i);
    return i;
  };
  return {
      {"zero width", with([](ConversionInfo& i) { i.width = 0; })},
      {"zero height", with([](ConversionInfo& i) { i.height = 0; })},
      {"unknown format", with([](ConversionInfo& i) { i.pixel_format = 0x01080099u; })},
      {"last row's padding missing", with([](ConversionInfo& i) { i.data_size = 28; })},
      {"one byte short", with([](ConversionInfo& i) { i.data_size = 29; })},
      {"no data", with([](ConversionInfo& i) { i.data_size = 0; })},
      {"padding overflows the row size",
       with([](ConversionInfo& i) { i.frame_extra_1 = std::numeric_limits<uint32_t>::max(); })},
      {"row size times height overflows 32 bits", with([](ConversionInfo& i) {
         i.width = 0x10000;
         i.height = 0x10000;
         i.data_size = std::numeric_limits<uint32_t>::max();
         i.pixel_format = PXV_Mono8;
       })},
  };
}

// Catches sizes checked without the row padding, products that wrap
// around, and failures reported with a non-zero length.
TEST(Validation, RefusesInconsistentFrames) {
  for (const ConverterCase& converter : kConverters) {
    for (const BadInfo& bad : BadInfos()) {
      SCOPED_TRACE(std::string(converter.name) + ": " + bad.what);
      // Never more than a page: a converter that reads anyway faults on the guard.
      GuardedBlock src(std::min<size_t>(bad.info.data_size, 64));
      std::vector<uint8_t> dst(64, 0x11);
      int32_t out_len = 77;
      EXPECT_NE(converter.fn(src.data(), &bad.info, dst.data(), &out_len), 0);
      EXPECT_EQ(out_len, 0);
      EXPECT_EQ(dst, std::vector<uint8_t>(64, 0x11)) << "wrote into the output";
    }
  }
}

// Catches a missing null check on any of the four pointers.
TEST(Validation, RefusesNullPointers) {
  std::vector<uint8_t> src(kGood.data_size), dst(64);
  int32_t out_len = 0;
  for (const ConverterCase& c : kConverters) {
    SCOPED_TRACE(c.name);
    EXPECT_NE(c.fn(nullptr, &kGood, dst.data(), &out_len), 0);
    EXPECT_NE(c.fn(src.data(), nullptr, dst.data(), &out_len), 0);
    EXPECT_NE(c.fn(src.data(), &kGood, nullptr, &out_len), 0);
    EXPECT_NE(c.fn(src.data(), &kGood, dst.data(), nullptr), 0);
  }
}

// The image's trailing padding is optional: a frame that ends right after
// its last row's padding converts.  Catches requiring frame_extra_2 bytes
// and reporting a length other than the bytes written.
TEST(Validation, AcceptsExactSizeWithoutImagePadding) {
  for (const ConverterCase& c : kConverters) {
    SCOPED_TRACE(c.name);
    ConversionInfo info = kGood;
    info.frame_extra_2 = 64;
    GuardedBlock src(info.data_size);
    std::memset(src.data(), 0, src.size());
    std::vector<uint8_t> dst(size_t{info.width} * info.height * c.channels);
    int32_t out_len = 0;
    ASSERT_EQ(c.fn(src.data(), &info, dst.data(), &out_len), 0);
    EXPECT_EQ(out_len, static_cast<int32_t>(dst.size()));
  }
}

// An output larger than an int32 length can report is refused rather than
// reported with a wrapped length.
TEST(Validation, RefusesOutputBeyondInt32Length) {
  const ConversionInfo info{65536, 32768, 0, 0, std::numeric_limits<uint32_t>::max(), PXV_Mono8};
  GuardedBlock src(1);
  std::vector<uint8_t> dst(1);
  int32_t out_len = 5;
  EXPECT_NE(PXVANE_ConvertToMono8(src.data(), &info, dst.data(), &out_len), 0);
  EXPECT_EQ(out_len, 0);
}

}  // namespace
}  // namespace pixvane_test
