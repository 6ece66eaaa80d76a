// Long runs of opens and closes.
#include <cstdlib>
#include <string>

#include "device_test_util.h"

namespace {

class OpenCyclesTest : public hacq_test::InterfaceTest {};

// Catches anything an open/close pair leaves behind (host blocks, host
// mutexes, SDK controls, streams or nodes), whichever way the camera is
// named.  HACQ_SOAK_CYCLES raises the count.
TEST_F(OpenCyclesTest, ThousandCyclesLeaveNothingBehind) {
  const char* soak = std::getenv("HACQ_SOAK_CYCLES");
  const int cycles = soak != nullptr ? std::atoi(soak) : 1000;
  const char* devices[] = {"default",
                           "0",
                           hacq_test::kMonoKey,
                           hacq_test::kMonoName,
                           hacq_test::kColorKey,
                           hacq_test::kColorName};
  for (int i = 0; i < cycles; ++i) {
    for (const char* device : devices) {
      std::unique_ptr<hostlayer::Instance> instance;
      ASSERT_EQ(TryOpen(hacq_test::DefaultParams(device), &instance), H_MSG_OK)
          << device << " in cycle " << i;
      ASSERT_EQ(instance->Close(), H_MSG_OK) << device << " in cycle " << i;
    }
    if (i % 100 == 0) ExpectNoLeaks("in cycle " + std::to_string(i));
  }
  ExpectNoLeaks("after the cycles");
  EXPECT_FALSE(hacq_test::SdkControls().IsConnected(hacq_test::kMonoKey));
  EXPECT_FALSE(hacq_test::SdkControls().IsConnected(hacq_test::kColorKey));
}

}  // namespace
