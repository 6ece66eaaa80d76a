// The volatile switch: buffers move between board and instance, and the
// counters that close relies on follow them.
#include "parameter_test_util.h"

namespace parameter_test {
namespace {

class VolatileTest : public ParameterTest {};

struct Arrangement {
  bool own_buffers;
  bool volatile_mode;
  int32_t buffer_size;
  int32_t buffer_users;
  bool board_holds;  // BoardFrameBuffer[i] == InstFrameBuffer[i] for every buffer
};

Arrangement Observe(hostlayer::Instance& inst) {
  const InstanceRecord& record = *inst.raw()->inst_data;
  const BoardRecord& board = *record.board;
  bool board_holds = true;
  bool board_empty = true;
  for (int i = 0; i < record.num_buffers; ++i) {
    board_holds = board_holds && board.BoardFrameBuffer[i] == record.InstFrameBuffer[i];
    board_empty = board_empty && board.BoardFrameBuffer[i] == nullptr;
  }
  EXPECT_TRUE(board_holds || board_empty) << "buffers split between board and instance";
  return {record.own_buffers, record.volatile_mode, board.buffer_size, board.buffer_users,
          board_holds};
}

void ExpectArrangement(hostlayer::Instance& inst, const Arrangement& want, const char* when) {
  const Arrangement got = Observe(inst);
  EXPECT_EQ(got.own_buffers, want.own_buffers) << when;
  EXPECT_EQ(got.volatile_mode, want.volatile_mode) << when;
  EXPECT_EQ(got.buffer_size, want.buffer_size) << when;
  EXPECT_EQ(got.buffer_users, want.buffer_users) << when;
  EXPECT_EQ(got.board_holds, want.board_holds) << when;
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
  const int32_t size = 1280 * 960;  // the sensor's largest gray image
  uint8_t* const buffers[3] = {record.InstFrameBuffer[0], record.InstFrameBuffer[1],
                               record.InstFrameBuffer[2]};
  const Arrangement board{false, false, size, 1, true};
  const Arrangement instance{true, true, 0, 0, false};
  ExpectArrangement(*inst, board, "after open");

  struct Step {
    const char* word;
    const Arrangement& after;
  };
  const Step steps[] = {{"enable", instance}, {"enable", instance}, {"disable", board},
                        {"disable", board},   {"ENABLE", instance}};
  for (const Step& step : steps) {
    ASSERT_EQ(Set(*inst, "volatile", std::string(step.word)), H_MSG_OK);
    ExpectArrangement(*inst, step.after, step.word);
    // The host makes the images only outside volatile mode.
    EXPECT_EQ(inst->raw()->host_allocates_images, !step.after.volatile_mode) << step.word;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(record.InstFrameBuffer[i], buffers[i]) << step.word;
  }
  EXPECT_EQ(inst->raw()->image_release_proc, nullptr);

  // A volatile grab hands out a view of one of these buffers.
  hostlayer::Images images;
  ASSERT_EQ(inst->Grab(&images), H_MSG_OK);
  ASSERT_EQ(images.size(), 1u);
  EXPECT_TRUE(images[0].is_view);
  EXPECT_TRUE(images[0].pixels == buffers[0] || images[0].pixels == buffers[1] ||
              images[0].pixels == buffers[2]);
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
  ExpectArrangement(*inst, board, "after the refused enable");
  EXPECT_EQ(Get(*inst, "volatile"), Values{std::string("disable")});
  EXPECT_EQ(Set(*inst, "volatile", std::string("disable")), H_MSG_OK);
  ExpectArrangement(*inst, board, "after disable");
}

}  // namespace
}  // namespace parameter_test
