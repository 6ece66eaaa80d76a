#include <cstring>

#include "host_fixture.h"

using namespace hostlayer;

// Catches: host images whose pixels are not a counted, writable host block
// (the driver could not release them); a view that copies (a volatile grab
// would lose its zero-copy image) or a copy that still points at the source.
TEST_F(HostTest, NewImageOwnsItsBlockAndWrapsOrCopiesAsAsked) {
  const MemoryStats before = Memory();
  Himage image{};
  ASSERT_EQ(HNewImage(nullptr, &image, HIMAGE_BYTE, 640, 480), H_MSG_OK);
  EXPECT_EQ(image.host_owned, 1);
  EXPECT_EQ(Memory().live_bytes - before.live_bytes, 640 * 480);
  image.pixel.b[640 * 480 - 1] = 7;  // the whole plane is writable (ASan)
  EXPECT_EQ(HXFree(nullptr, image.pixel.p), H_MSG_OK);

  uint8_t pixels[6] = {1, 2, 3, 4, 5, 6};
  Himage view{}, copy{};
  ASSERT_EQ(HNewImagePtr(nullptr, &view, HIMAGE_BYTE, 3, 2, pixels, 0), H_MSG_OK);
  EXPECT_EQ(view.pixel.b, pixels);
  EXPECT_EQ(view.host_owned, 0);
  EXPECT_EQ(Memory().live_blocks, before.live_blocks);
  ASSERT_EQ(HNewImagePtr(nullptr, &copy, HIMAGE_BYTE, 3, 2, pixels, 1), H_MSG_OK);
  EXPECT_NE(copy.pixel.b, pixels);
  EXPECT_EQ(std::memcmp(copy.pixel.b, pixels, sizeof pixels), 0);
  EXPECT_EQ(HXFree(nullptr, copy.pixel.p), H_MSG_OK);
  EXPECT_EQ(Memory().live_blocks, before.live_blocks);
}

// Catches: nonsense image requests (other kinds, empty or negative sizes,
// null data) accepted, and injected image faults that still allocate.
TEST_F(HostTest, ImageRequestsRefusedWithoutSideEffects) {
  uint8_t pixels[4] = {};
  struct Request {
    int32_t kind, width, height;
    void* data;
  };
  const Request refused[] = {{2, 2, 2, pixels},
                             {HIMAGE_BYTE, 0, 2, pixels},
                             {HIMAGE_BYTE, 2, -1, pixels},
                             {HIMAGE_BYTE, 2, 2, nullptr}};
  const int64_t live = Memory().live_blocks;
  for (const Request& r : refused) {
    Himage image{};
    EXPECT_EQ(HNewImagePtr(nullptr, &image, r.kind, r.width, r.height, r.data, 1), kErrBadArgument);
    if (r.data != nullptr) {
      EXPECT_EQ(HNewImage(nullptr, &image, r.kind, r.width, r.height), kErrBadArgument);
    }
    EXPECT_EQ(image.pixel.p, nullptr);
  }
  FailCall(HostCall::NewImage, 1, 6001);
  FailCall(HostCall::NewImagePtr, 1, 6002);
  Himage image{};
  EXPECT_EQ(HNewImage(nullptr, &image, HIMAGE_BYTE, 2, 2), 6001);
  EXPECT_EQ(HNewImagePtr(nullptr, &image, HIMAGE_BYTE, 2, 2, pixels, 0), 6002);
  EXPECT_EQ(image.pixel.p, nullptr);
  EXPECT_EQ(Memory().live_blocks, live);
}
