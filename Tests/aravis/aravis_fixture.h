// The fixture of the interface's tests on the Aravis SDK.  main() makes
// the private network and the two fake cameras, chooses the Aravis SDK
// for the interface and registers it; each test starts from the cameras'
// start state and a clean host, and may leave nothing live behind.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "hacq_test/fake_gv_camera.h"
#include "hostlayer/host_control.h"
#include "hostlayer/host_driver.h"
#include "sdk_abi/controls.h"

namespace aravistest {

struct World {
  std::string skip_reason;                          // set when the tests cannot run here
  std::unique_ptr<hacq_test::FakeGvCamera> camera;  // the cameras' tests use
  std::unique_ptr<hacq_test::FakeGvCamera> doomed;  // destroyed by one test
  std::optional<sdkabi::Controls> controls;         // of the Aravis SDK
};

inline World& TheWorld() {
  static World world;
  return world;
}

class AravisTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TheWorld().skip_reason.empty()) GTEST_SKIP() << TheWorld().skip_reason;
    ASSERT_TRUE(driver().ok()) << driver().load_error() << " FGInit " << driver().init_status();
    hostlayer::Reset();
    camera().Reset();
    controls().ClearWriteLog(camera().key());
    baseline_ = CountLive();
  }
  void TearDown() override {
    if (!TheWorld().skip_reason.empty()) return;
    hostlayer::Reset();
    controls().ClearFaults();
    ExpectNoLeaks("at the end of the test");
  }

  static hacq_test::FakeGvCamera& camera() { return *TheWorld().camera; }
  static const sdkabi::Controls& controls() { return *TheWorld().controls; }
  static hostlayer::Driver& driver() { return hostlayer::Driver::Get(); }

  // An open that must succeed: the test fails (non-fatally) and null is
  // returned otherwise.
  static std::unique_ptr<hostlayer::Instance> OpenOk(const std::string& device,
                                                     const std::string& color_space = "gray") {
    hostlayer::OpenParams params;
    params.device = device;
    params.color_space = color_space;
    std::unique_ptr<hostlayer::Instance> instance;
    const Herror status = driver().Open(params, &instance);
    EXPECT_EQ(status, H_MSG_OK) << hostlayer::Driver::ErrorText(status);
    return status == H_MSG_OK ? std::move(instance) : nullptr;
  }

  // Fails the test when more host blocks, host mutexes or SDK objects are
  // live than at its start.
  void ExpectNoLeaks(const std::string& when) const {
    const Live now = CountLive();
    EXPECT_LE(now.host_blocks, baseline_.host_blocks) << when;
    EXPECT_LE(now.host_mutexes, baseline_.host_mutexes) << when;
    EXPECT_EQ(now.sdk, baseline_.sdk) << when;
  }

 private:
  struct Live {
    int64_t host_blocks;
    int64_t host_mutexes;
    sdkabi::LiveObjectCount sdk;
  };
  static Live CountLive() {
    return {hostlayer::Memory().live_blocks, hostlayer::LiveMutexes(), controls().LiveObjects()};
  }
  Live baseline_{};
};

}  // namespace aravistest
