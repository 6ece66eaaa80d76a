#include "host_fixture.h"

using namespace hostlayer;

// Catches: setting 64 writes not recorded in order or not read back (the
// image code's save/clear/restore would be invisible), unknown variables,
// modes or a null read pointer accepted, and injected faults that still
// change the value.
TEST_F(HostTest, Setting64ReadsWritesRefusalsAndFaults) {
  int64_t saved = 0;
  ASSERT_EQ(HAccessGlVar(nullptr, HGV_IMAGE_INIT, 1, &saved, 0.0, nullptr, nullptr, 0), H_MSG_OK);
  EXPECT_EQ(saved, 1);
  ASSERT_EQ(HAccessGlVar(nullptr, HGV_IMAGE_INIT, 0, nullptr, 0.0, nullptr, nullptr, 0), H_MSG_OK);
  EXPECT_EQ(Setting64(), 0);
  ASSERT_EQ(HAccessGlVar(nullptr, HGV_IMAGE_INIT, 0, nullptr, 1.0, nullptr, nullptr, 0), H_MSG_OK);
  EXPECT_EQ(Setting64Writes(), (std::vector<int64_t>{0, 1}));

  Reset();
  int64_t value = 0;
  EXPECT_EQ(HAccessGlVar(nullptr, 63, 1, &value, 0.0, nullptr, nullptr, 0), kErrUnknownVariable);
  EXPECT_EQ(HAccessGlVar(nullptr, HGV_IMAGE_INIT, 2, &value, 0.0, nullptr, nullptr, 0),
            kErrUnknownVariable);
  EXPECT_EQ(HAccessGlVar(nullptr, HGV_IMAGE_INIT, 1, nullptr, 0.0, nullptr, nullptr, 0),
            kErrBadArgument);
  FailCall(HostCall::GlVarWrite, 1, 5555);
  FailCall(HostCall::GlVarRead, 1, 5556);
  EXPECT_EQ(HAccessGlVar(nullptr, HGV_IMAGE_INIT, 0, nullptr, 9.0, nullptr, nullptr, 0), 5555);
  EXPECT_EQ(HAccessGlVar(nullptr, HGV_IMAGE_INIT, 1, &value, 0.0, nullptr, nullptr, 0), 5556);
  EXPECT_EQ(value, 0);
  EXPECT_EQ(Setting64(), 1);
  EXPECT_TRUE(Setting64Writes().empty());
}
