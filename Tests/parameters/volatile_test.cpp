// The volatile switch: it tells the host who makes the images and leaves
// the frame buffers where the open put them.
#include "parameter_test_util.h"

namespace parameter_test {
namespace {

class VolatileTest : public ParameterTest {};

// Catches a switch that moves, loses or frees a buffer (the grab reads the
// ring without a lock, and the close frees it once), a host record left
// making images in volatile mode, and a close in volatile mode that leaks.
TEST_F(VolatileTest, SwitchKeepsTheBuffersAndTellsTheHost) {
  hostlayer::OpenParams params = hacq_test::DefaultParams(kKey);
  params.generic = {std::string("num_buffers=3")};
  auto inst = OpenOk(params);
  ASSERT_TRUE(inst);
  const InstanceRecord& record = Record(*inst);
  uint8_t* const buffers[3] = {record.InstFrameBuffer[0], record.InstFrameBuffer[1],
                               record.InstFrameBuffer[2]};
  EXPECT_EQ(record.frame_buffer_size, 1280 * 960);  // the sensor's largest image
  for (const char* word : {"enable", "enable", "disable", "disable", "ENABLE"}) {
    ASSERT_EQ(Set(*inst, "volatile", std::string(word)), H_MSG_OK);
    const bool on = word[0] != 'd';
    EXPECT_EQ(record.volatile_mode, on) << word;
    EXPECT_EQ(inst->raw()->host_allocates_images, !on) << word;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(record.InstFrameBuffer[i], buffers[i]) << word;
    EXPECT_EQ(record.frame_buffer_size, 1280 * 960) << word;
  }
  EXPECT_EQ(inst->raw()->image_release_proc, nullptr);
  inst.reset();  // closes in volatile mode
  ExpectNoLeaks("after closing in volatile mode");
}

// Catches volatile mode granted where a buffer cannot be one byte image.
TEST_F(VolatileTest, EnableIsRefusedForColourImages) {
  auto inst = OpenOk(kColorKey);
  ASSERT_TRUE(inst);
  ASSERT_EQ(inst->raw()->num_channels, 3);
  const bool host_allocates = inst->raw()->host_allocates_images;
  EXPECT_EQ(Set(*inst, "volatile", std::string("enable")), H_ERR_FGPARV);
  EXPECT_FALSE(Record(*inst).volatile_mode);
  EXPECT_EQ(inst->raw()->host_allocates_images, host_allocates);
  EXPECT_EQ(Get(*inst, "volatile"), Values{std::string("disable")});
}

}  // namespace
}  // namespace parameter_test
