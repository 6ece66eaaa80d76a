// Cameras of the simulator: discovery, hot-plug, replaced sets and absent
// features.  The rules every SDK keeps are in Tests/sdk_conformance.
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

struct Discovered {
  GENICAM_Camera* cameras = nullptr;
  uint32_t count = 0;
};

Discovered Discover() {
  Discovered d;
  GENICAM_System* system = nullptr;
  EXPECT_EQ(GENICAM_getSystemInstance(&system), 0);
  EXPECT_EQ(system->discovery(system, &d.cameras, &d.count, SDK_DISCOVERY_ALL), 0);
  return d;
}

using Discovery = SimTest;

// Catches an unplugged camera still listed, an earlier discovery's array
// freed or rewritten by a later one, and an empty name not kept empty.
TEST_F(Discovery, UnpluggedCamerasVanishAndEarlierArraysStayValid) {
  simsdk::CameraConfig nameless = SmallCamera("N");
  nameless.name = "";
  simsdk::SetCameras({SmallCamera("A"), nameless, SmallCamera("C")});
  const Discovered first = Discover();
  ASSERT_EQ(first.count, 3u);
  EXPECT_STREQ(first.cameras[1].getName(&first.cameras[1]), "");
  ASSERT_TRUE(simsdk::Unplug("N"));
  const Discovered second = Discover();
  ASSERT_EQ(second.count, 2u);
  EXPECT_STREQ(second.cameras[1].getKey(&second.cameras[1]), "C");
  EXPECT_STREQ(first.cameras[1].getKey(&first.cameras[1]), "N");
  ASSERT_TRUE(simsdk::Replug("N"));
  EXPECT_EQ(Discover().count, 3u);
}

class Connection : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    simsdk::SetCameras({SmallCamera("C")});
    camera_ = FindCamera("C");
    ASSERT_NE(camera_, nullptr);
  }
  GENICAM_Camera* camera_ = nullptr;
};

// Catches an unplug that leaves a waiter asleep, a camera that can still
// be connected while unplugged, or one that cannot after replugging.
TEST_F(Connection, UnplugFailsEverythingAndWakesWaiters) {
  StreamOwner s{OpenStream("C")};
  ASSERT_NE(s.stream, nullptr);
  simsdk::UpdateCamera("C", [](simsdk::CameraConfig& c) { c.trigger_mode.value = "On"; });
  ASSERT_EQ(s.stream->startGrabbing(s.stream, 0, 1), 0);
  auto waiter = std::async(std::launch::async, [&] {
    GENICAM_Frame* frame = nullptr;
    return s.stream->getFrame(s.stream, &frame, 20000);
  });
  std::this_thread::sleep_for(20ms);
  ASSERT_TRUE(simsdk::Unplug("C"));
  ASSERT_EQ(waiter.wait_for(10s), std::future_status::ready);
  EXPECT_EQ(waiter.get(), -1);
  EXPECT_EQ(camera_->isConnected(camera_), -1);
  EXPECT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), -1);
  EXPECT_EQ(s.stream->stopGrabbing(s.stream), -1);
  ASSERT_TRUE(simsdk::Replug("C"));
  EXPECT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), 0);
}

// Catches records of a replaced camera set that still reach a camera.
TEST_F(Connection, RecordsOfAReplacedSetFailCleanly) {
  ASSERT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), 0);
  simsdk::SetCameras({SmallCamera("C")});
  EXPECT_EQ(camera_->isConnected(camera_), -1);
  EXPECT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), -1);
  EXPECT_STREQ(camera_->getKey(camera_), "C");
  EXPECT_FALSE(SdkControls().IsConnected("C"));
}

class Features : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    camera_ = FindCamera("MONO-2448");
    ASSERT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), 0);
    info_ = ControlInfo(camera_);
  }

  GENICAM_Camera* camera_ = nullptr;
  ControlCreateInfo info_{};
};

// Catches an increment check whose arithmetic overflows: limits as far
// apart as the type allows (their distance does not fit it).
TEST_F(Features, IncrementsAreCheckedAcrossTheWholeRangeOfTheType) {
  simsdk::UpdateCamera("MONO-2448", [](simsdk::CameraConfig& c) {
    c.contrast = {0, INT64_MIN, INT64_MAX, 2};
  });
  GENICAM_ISPControl* isp = nullptr;
  ASSERT_EQ(GENICAM_createISPControl(&info_, &isp), 0);
  for (const auto& [value, expected] : {std::pair{INT64_MAX, -1}, std::pair{INT64_MAX - 1, 0}}) {
    GENICAM_IntNode contrast = isp->contrast(isp);
    EXPECT_EQ(contrast.setValue(&contrast, value), expected) << value;
    contrast.release(&contrast);
  }
  isp->release(isp);
}

// Catches absent features that crash or answer, and names that reach a
// feature of the wrong type.
TEST_F(Features, AbsentAndUnknownFeaturesFailCleanly) {
  simsdk::UpdateCamera("MONO-2448", [](simsdk::CameraConfig& c) {
    c.gamma.present = false;
    c.contrast_mode.present = false;
  });
  GENICAM_AnalogControl* analog = nullptr;
  ASSERT_EQ(GENICAM_createAnalogControl(&info_, &analog), 0);
  GENICAM_DoubleNode gamma = analog->gamma(analog);
  EXPECT_EQ(gamma.priv, nullptr);
  double value = 0;
  EXPECT_EQ(gamma.getValue(&gamma, &value), -1);
  EXPECT_EQ(gamma.setValue(&gamma, 1.0), -1);
  EXPECT_EQ(gamma.getMaxVal(&gamma, &value), -1);
  EXPECT_EQ(gamma.release(&gamma), -1);
  analog->release(analog);

  for (const char* name : {"ContrastMode", "NoSuchFeature", "DeviceUserID", ""}) {
    FeatureNodeInfo info{};
    info.camera = camera_;
    std::strncpy(info.attrName, name, sizeof info.attrName - 1);
    GENICAM_EnumNode* node = nullptr;
    EXPECT_EQ(GENICAM_createEnumNode(&info, &node), -1) << name;
  }
  FeatureNodeInfo unterminated{};
  unterminated.camera = camera_;
  std::memset(unterminated.attrName, 'A', sizeof unterminated.attrName);
  GENICAM_StringNode* string_node = nullptr;
  EXPECT_EQ(GENICAM_createStringNode(&unterminated, &string_node), -1);
}

}  // namespace
}  // namespace sdktest
