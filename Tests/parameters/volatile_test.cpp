// The volatile switch: buffers move between board and instance, and the
// counters that close relies on follow them.
#include <tuple>

#include "parameter_test_util.h"

namespace parameter_test {
namespace {

class VolatileTest : public ParameterTest {};

// own_buffers, volatile_mode, board buffer_size, board buffer_users, and
// whether the board holds every buffer (else it must hold none).
using Arrangement = std::tuple<bool, bool, int32_t, int32_t, bool>;

Arrangement Observe(hostlayer::Instance& inst) {
  const InstanceRecord& record = *inst.raw()->inst_data;
  const BoardRecord& board = *record.board;
  bool board_holds = true, board_empty = true;
  for (int i = 0; i < record.num_buffers; ++i) {
    board_holds = board_holds && board.BoardFrameBuffer[i] == record.InstFrameBuffer[i];
    board_empty = board_empty && board.BoardFrameBuffer[i] == nullptr;
  }
  EXPECT_TRUE(board_holds || board_empty) << "buffers split between board and instance";
  return {record.own_buffers, record.volatile_mode, board.buffer_size, board.buffer_users,
          board_holds};
}

// Catches buffers lost, duplicated or freed twice by the moves (the close
// frees them where they are: a wrong owner flag leaks or double-frees), a
// buffer pointer that changes under the grab, and a board size that no
// longer describes the buffers.
TEST_F(VolatileTest, EnableAndDisableMoveTheBuffersAndTheirCounters) {
  hostlayer::OpenParams params = hacq_test::DefaultParams(kKey);
  params.generic = {std::string("num_buffers=3")};
  auto inst = OpenOk(params);
  ASSERT_TRUE(inst);
  const InstanceRecord& record = Record(*inst);
  uint8_t* const buffers[3] = {record.InstFrameBuffer[0], record.InstFrameBuffer[1],
                               record.InstFrameBuffer[2]};
  const Arrangement board{false, false, 1280 * 960, 1, true};  // the sensor's largest image
  const Arrangement instance{true, true, 0, 0, false};
  EXPECT_EQ(Observe(*inst), board) << "after open";
  for (const char* word : {"enable", "enable", "disable", "disable", "ENABLE"}) {
    ASSERT_EQ(Set(*inst, "volatile", std::string(word)), H_MSG_OK);
    const bool on = word[0] != 'd';
    EXPECT_EQ(Observe(*inst), on ? instance : board) << word;
    // The host makes the images only outside volatile mode.
    EXPECT_EQ(inst->raw()->host_allocates_images, !on) << word;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(record.InstFrameBuffer[i], buffers[i]) << word;
  }
  EXPECT_EQ(inst->raw()->image_release_proc, nullptr);
  inst.reset();  // closes with the instance owning the buffers
  ExpectNoLeaks("after closing in volatile mode");
}

// Catches volatile mode granted where a buffer cannot be one byte image.
TEST_F(VolatileTest, EnableIsRefusedForColourImages) {
  auto inst = OpenOk(kColorKey);
  ASSERT_TRUE(inst);
  ASSERT_EQ(inst->raw()->num_channels, 3);
  const Arrangement board{false, false, 1280 * 960 * 3, 1, true};
  EXPECT_EQ(Set(*inst, "volatile", std::string("enable")), H_ERR_FGPARV);
  EXPECT_EQ(Observe(*inst), board);
  EXPECT_EQ(Get(*inst, "volatile"), Values{std::string("disable")});
}

}  // namespace
}  // namespace parameter_test
