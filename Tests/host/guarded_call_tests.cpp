#include <optional>

#include "base/guarded_call.h"
#include "host_fixture.h"

using namespace hostlayer;

namespace {

struct ConversionCase {
  const char* name;
  Herror status;
  std::optional<Herror> process_err_answer;
  Herror expected;
  bool reported;
};

class StatusConversion : public HostTest, public ::testing::WithParamInterface<ConversionCase> {};

}  // namespace

// Catches: successes (2 and below) sent to HProcessErr, failures not sent,
// or HProcessErr's answer used when it is not an error itself.
TEST_P(StatusConversion, FollowsTheErrorRule) {
  const ConversionCase& c = GetParam();
  SetProcessErrResult(c.process_err_answer);
  EXPECT_EQ(ConvertStatus("HXAlloc(proc_id,size,&ptr)", 42, c.status), c.expected);
  const std::vector<ProcessErrRecord> log = ProcessErrLog();
  ASSERT_EQ(log.size(), c.reported ? 1u : 0u);
  if (c.reported) {
    EXPECT_EQ(log[0].text, "HXAlloc(proc_id,size,&ptr)");
    EXPECT_EQ(log[0].err, c.status);
    EXPECT_EQ(log[0].line, 42);
    EXPECT_EQ(log[0].file, "Src\\hAcqOmbrix");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Host, StatusConversion,
    ::testing::Values(ConversionCase{"ok", H_MSG_OK, std::nullopt, H_MSG_OK, false},
                      ConversionCase{"below_ok", 1, 9, 1, false},
                      ConversionCase{"error_passed_on", 5302, std::nullopt, 5302, true},
                      ConversionCase{"host_answer_wins", 5302, 9, 9, true},
                      ConversionCase{"success_answer_ignored", 5302, H_MSG_OK, 5302, true}),
    [](const auto& test) { return std::string(test.param.name); });

// Catches: the spy report made after the call (or not at all), or made
// while the switch is off.
TEST_F(HostTest, SpyReportComesBeforeTheCall) {
  SetSpy(true);
  size_t spied_before_call = 0;
  const Herror status = HCALL("HpThreadMutexLock(&currInst->cancel_mutex)",
                              (spied_before_call = SpyLog().size(), Herror{5306}));
  EXPECT_EQ(status, 5306);
  EXPECT_EQ(spied_before_call, 1u);
  const std::vector<SpyRecord> spy = SpyLog();
  ASSERT_EQ(spy.size(), 1u);
  EXPECT_EQ(spy[0].text, "HpThreadMutexLock(&currInst->cancel_mutex)");
  EXPECT_EQ(spy[0].file, "Src\\hAcqOmbrix");
  ASSERT_EQ(ProcessErrLog().size(), 1u);
  EXPECT_EQ(ProcessErrLog()[0].line, spy[0].line);

  SetSpy(false);
  HCALL("quiet", Herror{H_MSG_OK});
  EXPECT_EQ(SpyLog().size(), 1u);
}

// Catches: the allocator variant not following HTraceMemory, and an
// allocation failure not reported under the caller's text.
TEST_F(HostTest, HostAllocFollowsTraceMemoryAndReportsFailure) {
  for (const bool trace : {false, true}) {
    Reset();
    SetTraceMemory(trace);
    void* block = nullptr;
    ASSERT_EQ(HostAlloc(nullptr, 32, &block, "HXAlloc(board)", 5), H_MSG_OK);
    EXPECT_EQ(Memory().checked_allocations, trace ? 1 : 0);
    EXPECT_EQ(HostFree(nullptr, block, "HXFree(board)", 6), H_MSG_OK);
  }
  FailCall(HostCall::Alloc, 1, 6001);
  void* block = nullptr;
  EXPECT_EQ(HostAlloc(nullptr, 32, &block, "HXAlloc(buffer)", 7), 6001);
  ASSERT_EQ(ProcessErrLog().size(), 1u);
  EXPECT_EQ(ProcessErrLog()[0].text, "HXAlloc(buffer)");
}
