// The conversion step on hand-made frames: every delivered pixel against
// the frame it came from, and no byte written outside the frame buffer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "acquisition/ring_conversion.h"
#include "conversion.h"
#include "fake_frame.h"

namespace {

constexpr uint8_t kGuard = 0xA5;

uint8_t Pixel(uint32_t r, uint32_t c) {
  return static_cast<uint8_t>(r * 31 + c * 7 + 1);
}

ImageRequest Request(int32_t w, int32_t h, int32_t channels, int32_t start_row = 0,
                     int32_t start_column = 0, int32_t row_step = 1, int32_t column_step = 1) {
  return ImageRequest{w, h, start_row, start_column, row_step, column_step, channels};
}

// The delivery's two steps on one frame: its check, then its conversion
// into the buffer.
Herror ConvertFrame(const ImageRequest& request, GENICAM_Frame* frame, RingSlot slot) {
  const FrameView view = ViewOf(frame);
  const Herror err = CheckFrame(request, view, slot);
  return err != H_MSG_OK ? err : ConvertIntoSlot(request, view, slot.data);
}

// A frame buffer of `size` bytes followed by guard bytes that must survive.
struct GuardedBuffer {
  explicit GuardedBuffer(size_t image_size) : size(image_size), bytes(image_size + 64, kGuard) {}
  RingSlot get() { return RingSlot{bytes.data(), static_cast<int64_t>(size)}; }
  bool GuardIntact() const {
    for (size_t i = size; i < bytes.size(); ++i)
      if (bytes[i] != kGuard) return false;
    return true;
  }
  size_t size;
  std::vector<uint8_t> bytes;
};

struct PartCase {
  const char* name;
  uint32_t frame_w, frame_h, padding;
  ImageRequest request;
};

// Catches the sheared or shifted images of a converter that copies the
// first W x H bytes whatever the image part and divisors say.
TEST(ConvertFrame, Mono8PixelsComeFromTheRequestedPartAndDivisors) {
  const PartCase cases[] = {
      {"whole frame gray", 40, 30, 0, Request(40, 30, 1)},
      {"whole frame rgb", 40, 30, 0, Request(40, 30, 3)},
      {"part gray", 40, 30, 0, Request(20, 10, 1, 5, 7)},
      {"part rgb", 40, 30, 0, Request(20, 10, 3, 5, 7)},
      {"divisor 2 both", 40, 30, 0, Request(20, 15, 1, 0, 0, 2, 2)},
      {"divisor 4 columns, 2 rows, offset", 40, 30, 0, Request(8, 12, 3, 1, 1, 2, 4)},
      {"padded rows", 40, 30, 8, Request(40, 30, 1)},
      {"padded rows, part, divisor", 40, 30, 8, Request(9, 5, 3, 2, 1, 4, 4)},
      {"one column", 40, 30, 0, Request(1, 5, 3, 2, 39)},
  };
  for (const PartCase& tc : cases) {
    SCOPED_TRACE(tc.name);
    FakeFrame frame;
    frame.FillMono8(tc.frame_w, tc.frame_h, Pixel, tc.padding);
    const ImageRequest& r = tc.request;
    GuardedBuffer buffer(size_t(tc.frame_w) * tc.frame_h * r.channels);  // as the open sizes it
    ASSERT_EQ(ConvertFrame(r, frame.get(), buffer.get()), H_MSG_OK);
    for (int32_t row = 0; row < r.height; ++row) {
      for (int32_t col = 0; col < r.width; ++col) {
        const uint8_t expected =
            Pixel((r.start_row + row) * r.row_step, (r.start_column + col) * r.column_step);
        for (int32_t ch = 0; ch < r.channels; ++ch) {
          ASSERT_EQ(buffer.bytes[(size_t(row) * r.width + col) * r.channels + ch], expected)
              << "row " << row << " col " << col << " channel " << ch;
        }
      }
    }
    EXPECT_TRUE(buffer.GuardIntact());
  }
}

struct RefusalCase {
  const char* name;
  ImageRequest request;
  size_t buffer_size;      // 0: exactly the image
  uint32_t reported_size;  // 0: the whole frame
  const char* message;
};

// Catches reads past a short frame, writes past the buffer, frames larger
// than the buffer, and parts that reach outside the frame (e.g. after Width
// was lowered): each must fail
// with 5306 and a message, leaving the buffer's surroundings untouched.
TEST(ConvertFrame, RefusesWhatWouldReadOrWriteOutOfBounds) {
  const RefusalCase cases[] = {
      {"part wider than frame", Request(41, 30, 1), 0, 0, "image part outside the frame.\r\n"},
      {"part below frame", Request(10, 10, 1, 25, 0), 0, 0, "image part outside the frame.\r\n"},
      {"one row too many", Request(40, 31, 1), 0, 0, "image part outside the frame.\r\n"},
      {"divisor reaches past frame", Request(21, 15, 1, 0, 0, 2, 2), 0, 0,
       "image part outside the frame.\r\n"},
      {"negative start", Request(10, 10, 1, -1, 0), 0, 0, "image part outside the frame.\r\n"},
      {"empty image", Request(0, 10, 1), 16, 0, "image part outside the frame.\r\n"},
      {"frame larger than buffer", Request(40, 30, 1), 40 * 30 - 1, 0,
       "frame larger than the image buffer.\r\n"},
      {"rgb image larger than buffer", Request(40, 30, 3), 40 * 30 * 2, 0,
       "frame larger than the image buffer.\r\n"},
      {"frame grew past the buffer, part would fit", Request(20, 10, 1), 20 * 10, 0,
       "frame larger than the image buffer.\r\n"},
      {"frame shorter than its size", Request(40, 30, 1), 0, 40 * 30 - 1,
       "frame shorter than its size.\r\n"},
  };
  for (const RefusalCase& tc : cases) {
    SCOPED_TRACE(tc.name);
    FakeFrame frame;
    frame.FillMono8(40, 30, Pixel);
    if (tc.reported_size != 0) frame.size = tc.reported_size;
    const ImageRequest& r = tc.request;
    const size_t image = size_t(std::max(r.width, 0)) * std::max(r.height, 0) * r.channels;
    GuardedBuffer buffer(tc.buffer_size != 0 ? tc.buffer_size : image);
    testing::internal::CaptureStdout();
    const Herror err = ConvertFrame(r, frame.get(), buffer.get());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), tc.message);
    EXPECT_EQ(err, H_ERR_FGTIMEOUT);
    EXPECT_TRUE(buffer.GuardIntact());
  }
}

// A 16-bit frame: sample (r, c) = Pixel(r, c) << 4 | (c & 15), so the
// conversion library has distinct low bits to drop.
void FillMono16(FakeFrame& frame, uint32_t w, uint32_t h) {
  frame.width = w;
  frame.height = h;
  frame.pixel_format = PXV_Mono12;
  frame.bytes.resize(size_t(w) * h * 2);
  for (uint32_t r = 0; r < h; ++r)
    for (uint32_t c = 0; c < w; ++c) {
      const uint16_t v = static_cast<uint16_t>(Pixel(r, c) << 4 | (c & 15));
      frame.bytes[(size_t(r) * w + c) * 2] = static_cast<uint8_t>(v);
      frame.bytes[(size_t(r) * w + c) * 2 + 1] = static_cast<uint8_t>(v >> 8);
    }
  frame.size = static_cast<uint32_t>(frame.bytes.size());
}

// What the conversion library makes of the whole frame.
std::vector<uint8_t> LibraryWhole(FakeFrame& frame, int channels) {
  const ConversionInfo info{frame.width,     frame.height, frame.padding_x,
                            frame.padding_y, frame.size,   frame.pixel_format};
  std::vector<uint8_t> out(size_t(frame.width) * frame.height * channels);
  int32_t length = 0;
  const int32_t rc = channels == 3
                         ? PXVANE_ConvertToBGR24(frame.bytes.data(), &info, out.data(), &length)
                         : PXVANE_ConvertToMono8(frame.bytes.data(), &info, out.data(), &length);
  EXPECT_EQ(rc, 0);
  return out;
}

// Catches converted formats delivered from the wrong region, the library's
// output misread or overwritten before it is read while the part moves to
// the start of the buffer it was converted in, and a library failure (data
// shorter than the format needs) reported as a delivered image.
TEST(ConvertFrame, ConvertedFormatsFollowTheLibraryAndThePart) {
  const ImageRequest requests[] = {Request(24, 16, 1),           Request(24, 16, 3),
                                   Request(10, 5, 1, 3, 2),      Request(23, 15, 3, 1, 1),
                                   Request(5, 4, 3, 1, 0, 2, 4), Request(11, 7, 3, 1, 1, 2, 2)};
  for (const ImageRequest& r : requests) {
    SCOPED_TRACE(testing::Message() << r.width << "x" << r.height << "x" << r.channels);
    FakeFrame frame;
    FillMono16(frame, 24, 16);
    const std::vector<uint8_t> whole = LibraryWhole(frame, r.channels);
    GuardedBuffer buffer(size_t(24) * 16 * r.channels);
    ASSERT_EQ(ConvertFrame(r, frame.get(), buffer.get()), H_MSG_OK);
    for (int32_t row = 0; row < r.height; ++row)
      for (int32_t col = 0; col < r.width; ++col)
        for (int32_t ch = 0; ch < r.channels; ++ch) {
          const size_t src = (size_t((r.start_row + row) * r.row_step) * 24 +
                              size_t((r.start_column + col) * r.column_step)) *
                                 r.channels +
                             ch;
          ASSERT_EQ(buffer.bytes[(size_t(row) * r.width + col) * r.channels + ch], whole[src]);
        }
    EXPECT_TRUE(buffer.GuardIntact());
  }
  FakeFrame short_frame;
  FillMono16(short_frame, 24, 16);
  short_frame.size = 24 * 16;  // half of what 16-bit samples need
  GuardedBuffer buffer(24 * 16);
  EXPECT_EQ(ConvertFrame(Request(24, 16, 1), short_frame.get(), buffer.get()), H_ERR_FGTIMEOUT);
  EXPECT_TRUE(buffer.GuardIntact());
}

}  // namespace
