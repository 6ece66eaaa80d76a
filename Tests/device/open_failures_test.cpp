// Every way FGOpen can fail, and what each failure leaves behind: no host
// memory, no SDK object, the camera disconnected, the record free again.
// (Further refused generic, geometry and colour values are in the open
// settings tables; SDK and host calls failing without a message of their
// own are covered, code and leaks, by the fault sweep.)
#include <functional>
#include <string>

#include "device_test_util.h"

namespace {

using hacq_test::DefaultParams;
using hacq_test::kMonoKey;
using hostlayer::HostCall;
using sdkabi::FaultPoint;

constexpr Herror kHostCode = 4711;

struct FailureCase {
  const char* name;
  Herror expected;
  std::function<void(hostlayer::OpenParams&)> arrange;
  const char* printed = "";  // the exact standard output of the open
};

class OpenFailureTest : public hacq_test::InterfaceTest,
                        public testing::WithParamInterface<FailureCase> {};

void Fault(FaultPoint op) {
  hacq_test::SdkControls().InjectFault(kMonoKey, op);
}

// Catches a failure code out of order or wrong, an open that leaks host
// blocks or SDK objects, keeps the camera connected (taken for good) or
// keeps the record taken.
TEST_P(OpenFailureTest, FailsWithItsCodeAndLeavesNothingBehind) {
  const FailureCase& c = GetParam();
  hostlayer::OpenParams params = DefaultParams(kMonoKey);
  c.arrange(params);
  Herror status = 0;
  const auto output = device_test::Capture([&] { status = TryOpen(params); });
  EXPECT_EQ(status, c.expected);
  EXPECT_EQ(output.out, c.printed);
  EXPECT_FALSE(hacq_test::SdkControls().IsConnected(kMonoKey));
  ExpectNoLeaks("after the failed open");

  hostlayer::Reset();
  hacq_test::SdkControls().ClearFaults();
  auto again = OpenOk(kMonoKey);
  ASSERT_TRUE(again);
  EXPECT_EQ(device_test::Record(*again).pool_index, 0);
}

const FailureCase kFailures[] = {
    {"UnknownDevice", H_ERR_FGDV, [](auto& p) { p.device = std::string("nope"); }},
    {"ImageFormatControl", H_ERR_FGDV, [](auto&) { Fault(FaultPoint::CreateImageFormatControl); },
     "Create Image Control Fail.\n"},
    {"AnalogControl", H_ERR_FGDV, [](auto&) { Fault(FaultPoint::CreateAnalogControl); },
     "Create Analog Control Fail.\n"},
    {"IspControl", H_ERR_FGDV, [](auto&) { Fault(FaultPoint::CreateISPControl); },
     "Create ISP Control Fail.\n"},
    {"UserSetControl", H_ERR_FGDV, [](auto&) { Fault(FaultPoint::CreateUserSetControl); },
     "Create UserSet Control Fail.\n"},
    {"DeviceControl", H_ERR_FGDV, [](auto&) { Fault(FaultPoint::CreateDeviceControl); },
     "Create Device Control Fail.\n"},
    {"Stream", H_ERR_FGDV, [](auto&) { Fault(FaultPoint::CreateStream); },
     "create stream obj  fail.\r\n"},
    {"PortNegative", H_ERR_FGPORT, [](auto& p) { p.port = int64_t{-2}; }},
    {"PortFour", H_ERR_FGPORT, [](auto& p) { p.port = int64_t{4}; }},
    {"LineIn", H_ERR_FGLINE, [](auto& p) { p.line_in = int64_t{1}; }},
    {"BitsPerChannel", H_ERR_FGWB, [](auto& p) { p.bits_per_channel = int64_t{16}; }},
    {"ExternalTrigger", H_ERR_FGEXTTRIG, [](auto& p) { p.external_trigger = std::string("true"); }},
    {"Field", H_ERR_FGFIELD, [](auto& p) { p.field = int64_t{1}; }},
    {"ResolutionDivisor", H_ERR_FGWR, [](auto& p) { p.horizontal_resolution = int64_t{3}; }},
    {"ImagePart", H_ERR_FGWP,
     [](auto& p) {
       p.start_column = int64_t{10};
       p.image_width = int64_t{2440};
     }},
};

INSTANTIATE_TEST_SUITE_P(EveryFailure, OpenFailureTest, testing::ValuesIn(kFailures),
                         [](const auto& test) { return std::string(test.param.name); });

class OpenRefusalTest : public hacq_test::InterfaceTest {};

// Catches a duplicate check that compares cameras instead of device
// strings, or one that hurts the instance already open.
TEST_F(OpenRefusalTest, SameDeviceStringTwiceIsRefused) {
  auto first = OpenOk("default");
  ASSERT_TRUE(first);
  EXPECT_EQ(TryOpen(DefaultParams("DEFAULT")), H_ERR_FGDEVBUSY);
  EXPECT_TRUE(hacq_test::SdkControls().IsConnected(kMonoKey));
  auto by_key = OpenOk(kMonoKey);  // same camera, other string: allowed
  EXPECT_TRUE(by_key);
  hostlayer::Images images;
  EXPECT_EQ(first->Grab(&images), H_MSG_OK);
}

// Catches an open failure whose code does not go through the host's error
// processing (HProcessErr may replace it).
TEST_F(OpenRefusalTest, BoardFailureGoesThroughHostErrorProcessing) {
  hostlayer::SetProcessErrResult(kHostCode + 1);
  hostlayer::FailCall(HostCall::Alloc, 1, kHostCode);
  EXPECT_EQ(TryOpen(DefaultParams(kMonoKey)), kHostCode + 1);
  const auto log = hostlayer::ProcessErrLog();
  ASSERT_EQ(log.size(), 1u);
  EXPECT_EQ(log[0].err, kHostCode);
  EXPECT_EQ(log[0].file, "Src\\hAcqOmbrix");
}

// Catches a missing spy report before the board allocation and a checking
// allocator that is not used while memory tracing is on.
TEST_F(OpenRefusalTest, TracingReportsAndUsesCheckingAllocator) {
  hostlayer::SetSpy(true);
  hostlayer::SetTraceMemory(true);
  auto instance = OpenOk(kMonoKey);
  ASSERT_TRUE(instance);
  const auto memory = hostlayer::Memory();
  EXPECT_EQ(memory.checked_allocations, memory.allocations);
  EXPECT_EQ(memory.allocations, 3);  // board and two buffers
  bool board_reported = false;
  for (const auto& record : hostlayer::SpyLog()) {
    board_reported |= record.text.find("BoardRecord") != std::string::npos;
  }
  EXPECT_TRUE(board_reported);
}

}  // namespace
