#include "host_fixture.h"

using namespace hostlayer;

// Catches: setting 64 writes that are not recorded in order or not read
// back, the image code's save/clear/restore sequence being invisible to tests.
TEST_F(HostTest, Setting64ReadsWritesAndRecordsHistory) {
  int64_t saved = 0;
  EXPECT_EQ(Setting64(), 1);
  ASSERT_EQ(HAccessGlVar(nullptr, HGV_IMAGE_INIT, 1, &saved, 0.0, nullptr, nullptr, 0), H_MSG_OK);
  EXPECT_EQ(saved, 1);
  ASSERT_EQ(HAccessGlVar(nullptr, HGV_IMAGE_INIT, 0, nullptr, 0.0, nullptr, nullptr, 0), H_MSG_OK);
  EXPECT_EQ(Setting64(), 0);
  ASSERT_EQ(HAccessGlVar(nullptr, HGV_IMAGE_INIT, 0, nullptr, static_cast<double>(saved), nullptr,
                         nullptr, 0),
            H_MSG_OK);
  EXPECT_EQ(Setting64Writes(), (std::vector<int64_t>{0, 1}));
  EXPECT_EQ(Setting64(), 1);
}

// Catches: unknown variables or modes silently accepted, a read into a
// null pointer, and injected read/write faults that still change the value.
TEST_F(HostTest, Setting64RefusalsAndFaultsChangeNothing) {
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

// Catches: a cache answer that tests cannot steer (the conversion's choice
// between paths would be untestable) or that Reset does not restore.
TEST_F(HostTest, CpuCacheAnswerIsSettable) {
  EXPECT_EQ(HGVGet_CPUCache(1), 32);
  SetCpuCache(4);
  EXPECT_EQ(HGVGet_CPUCache(1), 4);
  Reset();
  EXPECT_EQ(HGVGet_CPUCache(1), 32);
}

// Catches: the spy log losing order or fields, HProcessErr not returning
// the status it got (or the chosen one), and error messages not recorded.
TEST_F(HostTest, TracingAndErrorReportsAreRecorded) {
  EXPECT_EQ(IOGetSpyProcCallSwitch(), 0);
  SetSpy(true);
  EXPECT_EQ(IOGetSpyProcCallSwitch(), 1);
  IOSpyProcCall("first", 10, "Src\\hAcqOmbrix");
  IOSpyProcCall("second", 20, "Src\\hAcqOmbrix");
  const std::vector<SpyRecord> spy = SpyLog();
  ASSERT_EQ(spy.size(), 2u);
  EXPECT_EQ(spy[0].text, "first");
  EXPECT_EQ(spy[1].line, 20);
  EXPECT_EQ(spy[1].file, "Src\\hAcqOmbrix");

  EXPECT_EQ(HProcessErr("call", 5302, 30, "path"), 5302);
  SetProcessErrResult(9);
  EXPECT_EQ(HProcessErr("call2", 5306, 31, "path"), 9);
  const std::vector<ProcessErrRecord> errors = ProcessErrLog();
  ASSERT_EQ(errors.size(), 2u);
  EXPECT_EQ(errors[1].text, "call2");
  EXPECT_EQ(errors[1].err, 5306);

  IOPrintErrorMessage("Wrong parameter input: x!");
  EXPECT_EQ(ErrorMessages(), (std::vector<std::string>{"Wrong parameter input: x!"}));
}
