// The shared fixture of the interface's tests (device, acquisition,
// parameters).
//
// Every test starts from a clean world: the host layer's controls reset (no
// faults, spy and flags off, logs empty), the simulated SDK reset to its
// built-in cameras (or to the set the test passes to UseCameras), and the
// interface registered again through Driver::Get().Reinit() so its camera
// table matches.  The fixture then notes how many host blocks, host
// mutexes and SDK objects are live; at the end of the test (and whenever a
// test calls ExpectNoLeaks) none may be live beyond that.
//
// Instances a test opens are closed when their unique_ptr goes, so keep
// them local to the test body: they are gone before TearDown checks.  A
// test that injects faults that would break those closes clears them
// first (hostlayer::Reset(), SdkControls().ClearFaults()).
//
//   class GrabTest : public hacq_test::InterfaceTest {};
//   TEST_F(GrabTest, DeliversMonoImage) {
//     auto inst = OpenOk(hacq_test::kMonoKey);
//     ASSERT_TRUE(inst);
//     ...
//   }
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostlayer/host_control.h"
#include "hostlayer/host_driver.h"
#include "sdk_abi/controls.h"
#include "sim_control.h"

namespace hacq_test {

// Device strings of the simulated SDK's built-in cameras.  The names are
// written without their spaces, as a device string names a camera.
inline constexpr char kMonoKey[] = "MONO-2448";    // 2448 x 2048, Mono8
inline constexpr char kMonoName[] = "MonoCam";     // "Mono Cam"
inline constexpr char kColorKey[] = "COLOR-1920";  // 1920 x 1200, colour
inline constexpr char kColorName[] = "ColorCam1";

// The test controls of the SDK library the interface loads (the simulator,
// which the tests link).
const sdkabi::Controls& SdkControls();

// Open parameters that take every default, for `device`.
hostlayer::OpenParams DefaultParams(const std::string& device = "default");

// What the leak checks count.
struct LiveCounts {
  int64_t host_blocks = 0;
  int64_t host_mutexes = 0;
  sdkabi::LiveObjectCount sdk;
};
LiveCounts CountLive();

class InterfaceTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Replaces the simulated cameras (faults, logs and counters cleared),
  // registers the interface again and takes a new leak baseline.
  void UseCameras(const std::vector<simsdk::CameraConfig>& cameras);

  // The open's status.  On success the instance goes to *out, or is closed
  // again at once when out is null.
  Herror TryOpen(const hostlayer::OpenParams& params,
                 std::unique_ptr<hostlayer::Instance>* out = nullptr);
  // An open that must succeed: the test fails (non-fatally) and null is
  // returned otherwise.
  std::unique_ptr<hostlayer::Instance> OpenOk(const hostlayer::OpenParams& params);
  std::unique_ptr<hostlayer::Instance> OpenOk(const std::string& device = "default") {
    return OpenOk(DefaultParams(device));
  }

  // Fails the test when more host blocks, host mutexes or SDK objects are
  // live than at the start of the test.
  void ExpectNoLeaks(const std::string& when = "") const;

  static hostlayer::Driver& driver() { return hostlayer::Driver::Get(); }

 private:
  void Register();
  LiveCounts baseline_;
};

}  // namespace hacq_test
