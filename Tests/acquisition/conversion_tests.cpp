// The conversion step on hand-made frames: every delivered pixel against
// the frame it came from, and no byte written outside the frame buffer.
#include <gtest/gtest.h>

#include <vector>

#include "acquisition/ring_conversion.h"
#include "grab_fixture.h"

namespace {

constexpr uint8_t kGuard = 0xA5;
constexpr uint32_t kWidth = 40;
constexpr uint32_t kHeight = 30;

// A frame's bytes: one byte per sample for Mono8, two (little endian)
// otherwise, that byte over distinct low bits for the conversion library
// to drop; rows padded by `padding` bytes of 0xEE.
std::vector<uint8_t> FrameBytes(uint32_t format, uint32_t padding) {
  const size_t sample_bytes = format == PFNC_Mono8 ? 1 : 2;
  const size_t stride = kWidth * sample_bytes + padding;
  std::vector<uint8_t> bytes(stride * kHeight, 0xEE);
  for (uint32_t r = 0; r < kHeight; ++r)
    for (uint32_t c = 0; c < kWidth; ++c) {
      const uint32_t pixel = (r * 31 + c * 7 + 1) % 256;
      const uint32_t sample = sample_bytes == 1 ? pixel : pixel << 4 | (c & 15);
      for (size_t b = 0; b < sample_bytes; ++b)
        bytes[r * stride + c * sample_bytes + b] = static_cast<uint8_t>(sample >> (8 * b));
    }
  return bytes;
}

ImageRequest Request(int32_t w, int32_t h, int32_t channels, int32_t start_row = 0,
                     int32_t start_column = 0, int32_t row_step = 1, int32_t column_step = 1) {
  return ImageRequest{w, h, start_row, start_column, row_step, column_step, channels};
}

// Catches the sheared or shifted images of a converter that copies the
// first W x H bytes whatever the image part and divisors say, padding
// bytes taken for pixels, a library's output misread or overwritten before
// it is read while the part moves to the start of the buffer it was
// converted in; and reads past a short frame, writes past the buffer,
// frames larger than the buffer, parts that reach outside the frame (e.g.
// after Width was lowered) and a library failure reported as a delivered
// image: each of those must fail with H_ERR_FGTIMEOUT and its message.
TEST(ConvertFrame, PixelsOfTheRequestedPartOrARefusal) {
  const char* const outside = "image part outside the frame.\r\n";
  const char* const larger = "frame larger than the image buffer.\r\n";
  const struct {
    const char* name;
    uint32_t format, padding;
    ImageRequest request;
    size_t buffer_size;      // 0: as the open sizes it for the whole frame
    uint32_t reported_size;  // 0: the whole frame
    const char* refusal;     // null: converts
  } cases[] = {
      // clang-format off
      {"whole frame gray", PFNC_Mono8, 0, Request(40, 30, 1), 0, 0, nullptr},
      {"whole frame rgb", PFNC_Mono8, 0, Request(40, 30, 3), 0, 0, nullptr},
      {"part rgb", PFNC_Mono8, 0, Request(20, 10, 3, 5, 7), 0, 0, nullptr},
      {"divisor 2 both", PFNC_Mono8, 0, Request(20, 15, 1, 0, 0, 2, 2), 0, 0, nullptr},
      {"divisor 4 columns, 2 rows, offset", PFNC_Mono8, 0, Request(8, 12, 3, 1, 1, 2, 4), 0, 0,
       nullptr},
      {"padded rows", PFNC_Mono8, 8, Request(40, 30, 1), 0, 0, nullptr},
      {"padded rows, part, divisor", PFNC_Mono8, 8, Request(9, 5, 3, 2, 1, 4, 4), 0, 0, nullptr},
      {"one column", PFNC_Mono8, 0, Request(1, 5, 3, 2, 39), 0, 0, nullptr},
      {"one row", PFNC_Mono8, 0, Request(7, 1, 1, 29, 3), 0, 0, nullptr},
      {"library, whole gray", PXV_Mono12, 0, Request(40, 30, 1), 0, 0, nullptr},
      {"library, whole rgb", PXV_Mono12, 0, Request(40, 30, 3), 0, 0, nullptr},
      {"library, part gray", PXV_Mono12, 0, Request(10, 5, 1, 3, 2), 0, 0, nullptr},
      {"library, part rgb", PXV_Mono12, 0, Request(39, 29, 3, 1, 1), 0, 0, nullptr},
      {"library, divisors", PXV_Mono12, 0, Request(5, 4, 3, 1, 0, 2, 4), 0, 0, nullptr},
      {"library, padded, divisors", PXV_Mono12, 6, Request(11, 7, 3, 1, 1, 2, 2), 0, 0, nullptr},
      {"part wider than frame", PFNC_Mono8, 0, Request(41, 30, 1), 0, 0, outside},
      {"part below frame", PFNC_Mono8, 0, Request(10, 10, 1, 25, 0), 0, 0, outside},
      {"one row too many", PFNC_Mono8, 0, Request(40, 31, 1), 0, 0, outside},
      {"divisor reaches past frame", PFNC_Mono8, 0, Request(21, 15, 1, 0, 0, 2, 2), 0, 0, outside},
      {"negative start", PFNC_Mono8, 0, Request(10, 10, 1, -1, 0), 0, 0, outside},
      {"empty image", PFNC_Mono8, 0, Request(0, 10, 1), 0, 0, outside},
      {"frame larger than buffer", PFNC_Mono8, 0, Request(40, 30, 1), 40 * 30 - 1, 0, larger},
      {"rgb image larger than buffer", PFNC_Mono8, 0, Request(40, 30, 3), 40 * 30 * 2, 0, larger},
      {"frame grew past the buffer, part would fit", PFNC_Mono8, 0, Request(20, 10, 1), 20 * 10, 0,
       larger},
      {"frame shorter than its size", PFNC_Mono8, 0, Request(40, 30, 1), 0, 40 * 30 - 1,
       "frame shorter than its size.\r\n"},
      {"library refuses a short frame", PXV_Mono12, 0, Request(40, 30, 1), 0, 40 * 30, ""},
      // clang-format on
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.name);
    const std::vector<uint8_t> bytes = FrameBytes(tc.format, tc.padding);
    FrameView view{bytes.data(), bytes.size(), kWidth, kHeight, tc.format, tc.padding, 0};
    if (tc.reported_size != 0) view.size = tc.reported_size;
    const ImageRequest& r = tc.request;
    // The frame buffer, followed by guard bytes that must survive.
    const size_t size =
        tc.buffer_size != 0 ? tc.buffer_size : size_t{kWidth} * kHeight * r.channels;
    std::vector<uint8_t> buffer(size + 64, kGuard);
    testing::internal::CaptureStdout();
    Herror err = CheckFrame(r, view, RingSlot{buffer.data(), static_cast<int64_t>(size)});
    if (err == H_MSG_OK) err = ConvertIntoSlot(r, view, buffer.data());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), tc.refusal ? tc.refusal : "");
    EXPECT_EQ(std::vector<uint8_t>(buffer.begin() + size, buffer.end()),
              std::vector<uint8_t>(64, kGuard));
    if (tc.refusal != nullptr) {
      EXPECT_EQ(err, H_ERR_FGTIMEOUT);
      continue;
    }
    ASSERT_EQ(err, H_MSG_OK);
    const ConversionInfo info{kWidth, kHeight, tc.padding, 0, uint32_t(view.size), tc.format};
    const std::vector<uint8_t> whole = acqtest::LibraryWhole(bytes.data(), info, r.channels == 3);
    for (int32_t row = 0; row < r.height; ++row)
      for (int32_t col = 0; col < r.width; ++col) {
        const size_t source = size_t((r.start_row + row) * r.row_step) * kWidth +
                              size_t((r.start_column + col) * r.column_step);
        for (int32_t ch = 0; ch < r.channels; ++ch)
          ASSERT_EQ(buffer[(size_t(row) * r.width + col) * r.channels + ch],
                    whole[source * r.channels + ch])
              << "row " << row << " col " << col << " channel " << ch;
      }
  }
}

}  // namespace
