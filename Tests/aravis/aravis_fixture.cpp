#include "aravis_fixture.h"

namespace aravistest {

World& TheWorld() {
  static World world;
  return world;
}

void AravisTest::SetUp() {
  if (!TheWorld().skip_reason.empty()) GTEST_SKIP() << TheWorld().skip_reason;
  ASSERT_TRUE(driver().ok()) << driver().load_error() << " FGInit " << driver().init_status();
  hostlayer::Reset();
  camera().Reset();
  controls().ClearWriteLog(camera().key());
  baseline_ = CountLive();
}

void AravisTest::TearDown() {
  if (!TheWorld().skip_reason.empty()) return;
  hostlayer::Reset();
  controls().ClearFaults();
  ExpectNoLeaks("at the end of the test");
}

hostlayer::OpenParams AravisTest::Params(const std::string& device,
                                         const std::string& color_space) {
  hostlayer::OpenParams params;
  params.device = device;
  params.color_space = color_space;
  return params;
}

std::unique_ptr<hostlayer::Instance> AravisTest::OpenOk(const hostlayer::OpenParams& params) {
  std::unique_ptr<hostlayer::Instance> instance;
  const Herror status = driver().Open(params, &instance);
  EXPECT_EQ(status, H_MSG_OK) << hostlayer::Driver::ErrorText(status);
  return status == H_MSG_OK ? std::move(instance) : nullptr;
}

AravisTest::Live AravisTest::CountLive() const {
  return {hostlayer::Memory().live_blocks, hostlayer::LiveMutexes(), controls().LiveObjects()};
}

void AravisTest::ExpectNoLeaks(const std::string& when) const {
  const Live now = CountLive();
  EXPECT_LE(now.host_blocks, baseline_.host_blocks) << when;
  EXPECT_LE(now.host_mutexes, baseline_.host_mutexes) << when;
  EXPECT_EQ(now.sdk, baseline_.sdk) << when;
}

}  // namespace aravistest
