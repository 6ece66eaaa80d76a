#include "hacq_test/interface_test.h"

#include <sstream>

namespace hacq_test {

namespace {

std::string Describe(const LiveCounts& counts) {
  std::ostringstream out;
  out << "host blocks " << counts.host_blocks << ", host mutexes " << counts.host_mutexes
      << ", SDK controls " << counts.sdk.controls << ", streams " << counts.sdk.streams
      << ", frames " << counts.sdk.frames << ", value nodes " << counts.sdk.value_nodes
      << ", named nodes " << counts.sdk.named_nodes;
  return out.str();
}

bool Exceeds(const LiveCounts& now, const LiveCounts& base) {
  return now.host_blocks > base.host_blocks || now.host_mutexes > base.host_mutexes ||
         now.sdk.controls > base.sdk.controls || now.sdk.streams > base.sdk.streams ||
         now.sdk.frames > base.sdk.frames || now.sdk.value_nodes > base.sdk.value_nodes ||
         now.sdk.named_nodes > base.sdk.named_nodes;
}

}  // namespace

const sdkabi::Controls& SdkControls() {
  static const sdkabi::Controls controls = sdkabi::Controls::Linked();
  return controls;
}

hostlayer::OpenParams DefaultParams(const std::string& device) {
  hostlayer::OpenParams params;
  params.device = device;
  return params;
}

LiveCounts CountLive() {
  LiveCounts counts;
  counts.host_blocks = hostlayer::Memory().live_blocks;
  counts.host_mutexes = hostlayer::LiveMutexes();
  counts.sdk = SdkControls().LiveObjects();
  return counts;
}

void InterfaceTest::SetUp() {
  hostlayer::Reset();
  simsdk::Reset();
  Register();
}

void InterfaceTest::TearDown() {
  hostlayer::Reset();
  SdkControls().ClearFaults();
  ExpectNoLeaks("at the end of the test");
}

void InterfaceTest::UseCameras(const std::vector<simsdk::CameraConfig>& cameras) {
  simsdk::SetCameras(cameras);
  Register();
}

void InterfaceTest::Register() {
  ASSERT_TRUE(driver().ok()) << driver().load_error();
  ASSERT_EQ(driver().Reinit(), H_MSG_OK);
  baseline_ = CountLive();
}

Herror InterfaceTest::TryOpen(const hostlayer::OpenParams& params,
                              std::unique_ptr<hostlayer::Instance>* out) {
  std::unique_ptr<hostlayer::Instance> instance;
  const Herror status = driver().Open(params, &instance);
  if (out != nullptr) *out = std::move(instance);
  return status;
}

std::unique_ptr<hostlayer::Instance> InterfaceTest::OpenOk(const hostlayer::OpenParams& params) {
  std::unique_ptr<hostlayer::Instance> instance;
  const Herror status = TryOpen(params, &instance);
  EXPECT_EQ(status, H_MSG_OK) << hostlayer::Driver::ErrorText(status);
  return status == H_MSG_OK ? std::move(instance) : nullptr;
}

void InterfaceTest::ExpectNoLeaks(const std::string& when) const {
  const LiveCounts now = CountLive();
  EXPECT_FALSE(Exceeds(now, baseline_))
      << "live objects grew " << when << "\n  now:    " << Describe(now)
      << "\n  before: " << Describe(baseline_);
}

}  // namespace hacq_test
