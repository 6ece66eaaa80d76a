// Cameras of the simulator: discovery, hot-plug, replaced sets, absent
// features, the scope of injected faults and the binding of the test
// controls.  The rules every SDK keeps are in Tests/sdk_conformance.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <future>
#include <string>
#include <utility>

#include "sdk_fixture.h"

namespace sdktest {
namespace {

using namespace std::chrono_literals;
using sdkabi::FaultPoint;

using Cameras = SimTest;

// Catches an unplug that leaves a waiter asleep, an unplugged camera still
// listed or connectable, one that cannot be connected after replugging, an
// earlier discovery's records freed or rewritten by a later one, an empty
// name not kept empty, and records of a replaced set that still reach a
// camera.
TEST_F(Cameras, UnplugAndReplacedSetsFailOldRecordsCleanly) {
  simsdk::CameraConfig nameless = SmallCamera("N");
  nameless.name = "";
  nameless.trigger_mode.value = "On";
  simsdk::SetCameras({SmallCamera("A"), nameless, SmallCamera("C")});
  GENICAM_Camera* const camera = FindCamera("N");
  ASSERT_NE(OpenStream("N"), nullptr);
  ASSERT_EQ(stream_->startGrabbing(stream_, 0, 1), 0);
  auto waiter = std::async(std::launch::async, [&] {
    GENICAM_Frame* frame = nullptr;
    return stream_->getFrame(stream_, &frame, 20000);
  });
  std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(simsdk::Unplug("N"));
  ASSERT_EQ(waiter.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(waiter.get(), -1);
  EXPECT_EQ(FindCamera("N"), nullptr);
  EXPECT_NE(FindCamera("C"), nullptr);
  EXPECT_STREQ(camera->getKey(camera), "N");
  EXPECT_STREQ(camera->getName(camera), "");
  EXPECT_EQ(camera->isConnected(camera), -1);
  EXPECT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), -1);
  EXPECT_EQ(stream_->stopGrabbing(stream_), -1);
  ASSERT_TRUE(simsdk::Replug("N"));
  EXPECT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), 0);

  simsdk::SetCameras({SmallCamera("N")});
  EXPECT_EQ(camera->isConnected(camera), -1);
  EXPECT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), -1);
  EXPECT_STREQ(camera->getKey(camera), "N");
  EXPECT_FALSE(SdkControls().IsConnected("N"));
}

// Catches an increment check whose arithmetic overflows (limits as far
// apart as the type allows, whose distance does not fit it), and absent
// features that crash or answer.
TEST_F(Cameras, IncrementsOverTheWholeTypeAndAbsentFeatures) {
  simsdk::UpdateCamera("MONO-2448", [](simsdk::CameraConfig& c) {
    c.contrast = {0, INT64_MIN, INT64_MAX, 2};
    c.gamma.present = false;
    c.contrast_mode.present = false;
  });
  GENICAM_Camera* camera = FindCamera("MONO-2448");
  ASSERT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), 0);
  const ControlCreateInfo info{camera};
  GENICAM_ISPControl* isp = nullptr;
  ASSERT_EQ(GENICAM_createISPControl(&info, &isp), 0);
  for (const auto& [value, expected] : {std::pair{INT64_MAX, -1}, std::pair{INT64_MAX - 1, 0}}) {
    GENICAM_IntNode contrast = isp->contrast(isp);
    EXPECT_EQ(contrast.setValue(&contrast, value), expected) << value;
    contrast.release(&contrast);
  }
  isp->release(isp);

  GENICAM_AnalogControl* analog = nullptr;
  ASSERT_EQ(GENICAM_createAnalogControl(&info, &analog), 0);
  GENICAM_DoubleNode gamma = analog->gamma(analog);
  EXPECT_EQ(gamma.priv, nullptr);
  double value = 0;
  EXPECT_EQ(gamma.getValue(&gamma, &value), -1);
  EXPECT_EQ(gamma.setValue(&gamma, 1.0), -1);
  EXPECT_EQ(gamma.getMaxVal(&gamma, &value), -1);
  EXPECT_EQ(gamma.release(&gamma), -1);
  analog->release(analog);
  FeatureNodeInfo by_name{camera, "ContrastMode"};
  GENICAM_EnumNode* node = nullptr;
  EXPECT_EQ(GENICAM_createEnumNode(&by_name, &node), -1);
}

// Catches a feature fault that hits another camera, and a write refused by
// a fault that still changes the camera or is logged as accepted.
TEST_F(Cameras, FeatureFaultsHitOnlyTheirCamera) {
  simsdk::SetCameras({SmallCamera("A"), SmallCamera("B")});
  SdkControls().InjectFault("A", FaultPoint::FeatureWrite, sdkabi::kForever, "Gamma");
  for (const std::string key : {"A", "B"}) {
    GENICAM_Camera* camera = FindCamera(key);
    ASSERT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), 0);
    const ControlCreateInfo info{camera};
    GENICAM_AnalogControl* analog = nullptr;
    ASSERT_EQ(GENICAM_createAnalogControl(&info, &analog), 0);
    GENICAM_DoubleNode gamma = analog->gamma(analog);
    const bool faulted = key == "A";
    EXPECT_EQ(gamma.setValue(&gamma, 2.0), faulted ? -1 : 0) << key;
    EXPECT_EQ(simsdk::CameraState(key)->gamma.value, faulted ? 1.0 : 2.0) << key;
    EXPECT_EQ(SdkControls().WriteLog(key),
              (std::vector<sdkabi::LogEntry>{{"Gamma", "2", !faulted}}))
        << key;
    gamma.release(&gamma);
    analog->release(analog);
  }
}

// Catches a fault request the control cannot honour that still arms a
// rule (a count of 0 failing one call) or reads past the table of points.
TEST_F(Cameras, FaultRequestsOutsideTheContractArmNothing) {
  simsdk::SetCameras({SmallCamera("A")});
  const auto connect = static_cast<int32_t>(FaultPoint::Connect);
  struct Case {
    const char* what;
    const char* key;
    int32_t point, count, skip;
  };
  for (const Case c : {Case{"count 0", "A", connect, 0, 0}, Case{"count -2", "A", connect, -2, 0},
                       Case{"negative skip", "A", connect, 1, -1},
                       Case{"unknown point", "A", sdkabi::kFaultPoints, 1, 0},
                       Case{"no key", nullptr, connect, 1, 0}}) {
    EXPECT_EQ(SDKCTL_InjectFault(c.key, c.point, c.count, c.skip, ""), -1) << c.what;
    GENICAM_Camera* camera = FindCamera("A");
    EXPECT_EQ(camera->connect(camera, SDK_ACCESS_CONTROL), 0) << c.what;
  }
}

// Catches a binding that hands out controls with an entry point missing
// (the first call through it would crash).
TEST(ControlBinding, AnyMissingEntryPointBindsNothing) {
  void* library = dlopen(HACQ_SIM_SDK_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const char* missing :
       {"SDKCTL_InjectFault", "SDKCTL_ClearFaults", "SDKCTL_FaultableCalls", "SDKCTL_VisitWriteLog",
        "SDKCTL_ClearWriteLog", "SDKCTL_CameraCounters", "SDKCTL_IsConnected", "SDKCTL_IsGrabbing",
        "SDKCTL_LiveObjects"}) {
    ASSERT_NE(dlsym(library, missing), nullptr) << missing;
    const auto bound = sdkabi::Controls::Bind([&](const char* name) {
      return std::strcmp(name, missing) == 0 ? nullptr : dlsym(library, name);
    });
    EXPECT_FALSE(bound) << missing;
  }
  dlclose(library);
}

}  // namespace
}  // namespace sdktest
