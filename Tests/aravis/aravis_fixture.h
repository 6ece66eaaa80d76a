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
World& TheWorld();

class AravisTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  static hacq_test::FakeGvCamera& camera() { return *TheWorld().camera; }
  static const sdkabi::Controls& controls() { return *TheWorld().controls; }
  static hostlayer::Driver& driver() { return hostlayer::Driver::Get(); }
  // An open that must succeed: the test fails (non-fatally) and null is
  // returned otherwise.
  std::unique_ptr<hostlayer::Instance> OpenOk(const std::string& device,
                                              const std::string& color_space = "gray");

  // Fails the test when more host blocks, host mutexes or SDK objects are
  // live than at its start.
  void ExpectNoLeaks(const std::string& when) const;

 private:
  struct Live {
    int64_t host_blocks;
    int64_t host_mutexes;
    sdkabi::LiveObjectCount sdk;
  };
  Live CountLive() const;
  Live baseline_{};
};

}  // namespace aravistest
