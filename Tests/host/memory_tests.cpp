#include <vector>

#include "host_fixture.h"

using namespace hostlayer;

namespace {

struct InjectionCase {
  const char* name;
  int64_t nth;
  bool and_after;
  std::vector<Herror> results;  // of the next calls, in order
};

class AllocInjection : public HostTest, public ::testing::WithParamInterface<InjectionCase> {};

constexpr Herror kInjected = 6001;

}  // namespace

// Catches: a fault firing on the wrong call, firing once where it should
// stick (or sticking where it should fire once), or a failing allocation
// that still creates a block or writes the out-pointer.
TEST_P(AllocInjection, FailsExactlyTheChosenCalls) {
  const InjectionCase& c = GetParam();
  HXFree(nullptr, nullptr);  // calls of another kind do not move the count
  FailCall(HostCall::Alloc, c.nth, kInjected, c.and_after);
  std::vector<void*> blocks;
  for (size_t i = 0; i < c.results.size(); ++i) {
    void* block = &blocks;  // a failing call must leave this untouched
    const int64_t live_before = Memory().live_blocks;
    const Herror status = HXAlloc(nullptr, 16, &block);
    EXPECT_EQ(status, c.results[i]) << "call " << i + 1;
    if (status == H_MSG_OK) {
      blocks.push_back(block);
    } else {
      EXPECT_EQ(block, &blocks);
      EXPECT_EQ(Memory().live_blocks, live_before);
    }
  }
  EXPECT_EQ(CallCount(HostCall::Alloc), static_cast<int64_t>(c.results.size()));
  for (void* block : blocks) EXPECT_EQ(HXFree(nullptr, block), H_MSG_OK);
}

INSTANTIATE_TEST_SUITE_P(
    Host, AllocInjection,
    ::testing::Values(InjectionCase{"first", 1, false, {kInjected, H_MSG_OK, H_MSG_OK}},
                      InjectionCase{"second_once", 2, false, {H_MSG_OK, kInjected, H_MSG_OK}},
                      InjectionCase{
                          "from_second_on", 2, true, {H_MSG_OK, kInjected, kInjected, kInjected}},
                      InjectionCase{"disarmed", 0, false, {H_MSG_OK, H_MSG_OK}}),
    [](const auto& test) { return std::string(test.param.name); });

// Catches: live-block or byte accounting that drifts with zero-sized or
// large blocks, or checked allocations not told apart.
TEST_F(HostTest, AccountingFollowsEveryBlockBothAllocators) {
  const MemoryStats before = Memory();
  const size_t sizes[] = {0, 1, 4096, 1 << 20};
  std::vector<void*> blocks;
  for (const size_t size : sizes) {
    void* block = nullptr;
    ASSERT_EQ(HXAlloc(nullptr, size, &block), H_MSG_OK);
    blocks.push_back(block);
    ASSERT_EQ(HXAllocMemCheck(nullptr, size, "Src\\hAcqOmbrix", 7, -112, &block), H_MSG_OK);
    blocks.push_back(block);
  }
  const MemoryStats during = Memory();
  EXPECT_EQ(during.live_blocks - before.live_blocks, 8);
  EXPECT_EQ(during.live_bytes - before.live_bytes, 2 * (0 + 1 + 4096 + (1 << 20)));
  EXPECT_EQ(during.allocations, 8);
  EXPECT_EQ(during.checked_allocations, 4);
  for (size_t i = 0; i < blocks.size(); ++i) {
    EXPECT_EQ(i % 2 ? HXFreeMemCheck(nullptr, blocks[i], "x", 1) : HXFree(nullptr, blocks[i]),
              H_MSG_OK);
  }
  EXPECT_EQ(Memory().live_blocks, before.live_blocks);
  EXPECT_EQ(Memory().live_bytes, before.live_bytes);
}

// Catches: a double free or a foreign pointer corrupting the heap or the
// accounting instead of being reported, and an injected free failure that
// frees the block anyway (the caller would then free it twice).
TEST_F(HostTest, FreeRefusesWhatIsNoLiveBlockAndAFailedFreeKeepsIt) {
  void* block = nullptr;
  ASSERT_EQ(HXAlloc(nullptr, 8, &block), H_MSG_OK);
  FailCall(HostCall::Free, 1, kInjected);
  EXPECT_EQ(HXFree(nullptr, block), kInjected);
  ASSERT_EQ(HXFree(nullptr, block), H_MSG_OK);
  const int64_t live = Memory().live_blocks;
  int on_stack = 0;
  EXPECT_EQ(HXFree(nullptr, block), kErrNotHostBlock);
  EXPECT_EQ(HXFree(nullptr, &on_stack), kErrNotHostBlock);
  EXPECT_EQ(HXAlloc(nullptr, 8, nullptr), kErrBadArgument);
  EXPECT_EQ(Memory().live_blocks, live);
}
