// Cameras: discovery, connection, hot-plug and feature limits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <future>
#include <string>

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

// Catches objects of a disconnected camera that still act (or crash), and
// objects that stay dead after the camera is connected again.
TEST_F(Connection, ObjectsFailWhileDisconnectedAndWorkAfterReconnect) {
  ASSERT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), 0);
  const ControlCreateInfo info = ControlInfo(camera_);
  GENICAM_ImageFormatControl* format = nullptr;
  ASSERT_EQ(GENICAM_createImageFormatControl(&info, &format), 0);
  StreamOwner s{OpenStream("C")};
  ASSERT_NE(s.stream, nullptr);
  ASSERT_EQ(s.stream->startGrabbing(s.stream, 0, 1), 0);

  ASSERT_EQ(camera_->disConnect(camera_), 0);
  GENICAM_IntNode width = format->width(format);
  int64_t value = 0;
  EXPECT_EQ(width.getValue(&width, &value), -1);
  EXPECT_EQ(width.setValue(&width, 8), -1);
  EXPECT_EQ(s.stream->isGrabbing(s.stream), -1) << "disconnect must stop the stream";
  EXPECT_EQ(s.stream->startGrabbing(s.stream, 0, 1), -1);
  GENICAM_AnalogControl* analog = nullptr;
  EXPECT_EQ(GENICAM_createAnalogControl(&info, &analog), -1);

  ASSERT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), 0);
  EXPECT_EQ(width.getValue(&width, &value), 0);
  EXPECT_EQ(value, 16);
  EXPECT_EQ(s.stream->startGrabbing(s.stream, 0, 1), 0);
  width.release(&width);
  format->release(format);
}

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
    ASSERT_EQ(GENICAM_createImageFormatControl(&info_, &format_), 0);
    ASSERT_EQ(GENICAM_createAcquisitionControl(&info_, &acq_), 0);
    ASSERT_EQ(GENICAM_createISPControl(&info_, &isp_), 0);
    ASSERT_EQ(GENICAM_createDeviceControl(&info_, &dev_), 0);
  }
  void TearDown() override {
    format_->release(format_);
    acq_->release(acq_);
    isp_->release(isp_);
    dev_->release(dev_);
    SimTest::TearDown();
  }
  template <typename Node, typename Value>
  int32_t Set(Node node, Value value) {
    const int32_t result = node.setValue(&node, value);
    node.release(&node);
    return result;
  }
  int32_t SetSymbol(GENICAM_EnumNode node, const char* symbol) {
    const int32_t result = node.setValueBySymbol(&node, symbol);
    node.release(&node);
    return result;
  }

  GENICAM_Camera* camera_ = nullptr;
  ControlCreateInfo info_{};
  GENICAM_ImageFormatControl* format_ = nullptr;
  GENICAM_AcquisitionControl* acq_ = nullptr;
  GENICAM_ISPControl* isp_ = nullptr;
  GENICAM_DeviceControl* dev_ = nullptr;
};

// Catches limits or increments that are not enforced (a camera refuses
// such writes) and a refused write that changes the value anyway.
TEST_F(Features, WritesOutsideLimitsOrOffTheIncrementAreRefused) {
  struct Case {
    int64_t width;
    int32_t expected;
  };
  for (const Case c : {Case{2448, 0}, Case{2447, -1}, Case{2432, 0}, Case{16, 0}, Case{0, -1},
                       Case{2464, -1}, Case{24, -1}})
    EXPECT_EQ(Set(format_->width(format_), c.width), c.expected) << "Width " << c.width;
  EXPECT_EQ(simsdk::CameraState("MONO-2448")->width.value, 16);

  EXPECT_EQ(Set(acq_->exposureTime(acq_), 19.0), -1);
  EXPECT_EQ(Set(acq_->exposureTime(acq_), std::nan("")), -1);
  EXPECT_EQ(Set(acq_->exposureTime(acq_), 1000000.0), 0);
  EXPECT_EQ(Set(isp_->contrast(isp_), int64_t{101}), -1);
  EXPECT_EQ(Set(format_->reverseX(format_), 2u), -1);
  EXPECT_EQ(SetSymbol(format_->pixelFormat(format_), "RGB8"), -1);
  EXPECT_EQ(SetSymbol(format_->pixelFormat(format_), "mono12"), -1) << "symbols match exactly";
  EXPECT_EQ(SetSymbol(format_->pixelFormat(format_), "Mono12"), 0);
  EXPECT_EQ(Set(dev_->deviceUserID(dev_), std::string(SDK_STRING_LEN, 'x').c_str()), -1);
  const auto state = simsdk::CameraState("MONO-2448");
  EXPECT_EQ(state->exposure_time.value, 1000000.0);
  EXPECT_EQ(state->contrast.value, 50);
  EXPECT_EQ(state->pixel_format.value, "Mono12");
  EXPECT_EQ(state->device_user_id.value, "");

  // Limits as far apart as the type allows (the distance overflows it).
  simsdk::UpdateCamera("MONO-2448",
                       [](simsdk::CameraConfig& c) { c.contrast = {0, INT64_MIN, INT64_MAX, 2}; });
  EXPECT_EQ(Set(isp_->contrast(isp_), INT64_MAX), -1);
  EXPECT_EQ(Set(isp_->contrast(isp_), INT64_MAX - 1), 0);
}

// Catches geometry changes accepted mid-stream (the frames would change
// size under the interface's buffers).
TEST_F(Features, GeometryIsLockedWhileGrabbingButContrastIsNot) {
  StreamOwner s{OpenStream("MONO-2448")};
  ASSERT_EQ(s.stream->startGrabbing(s.stream, 0, 1), 0);
  EXPECT_EQ(Set(format_->width(format_), int64_t{1024}), -1);
  EXPECT_EQ(Set(format_->height(format_), int64_t{1024}), -1);
  EXPECT_EQ(SetSymbol(format_->pixelFormat(format_), "Mono16"), -1);
  EXPECT_EQ(Set(isp_->contrast(isp_), int64_t{70}), 0);
  ASSERT_EQ(s.stream->stopGrabbing(s.stream), 0);
  EXPECT_EQ(Set(format_->width(format_), int64_t{1024}), 0);
}

// Catches unbounded copies into the caller's buffers: symbols and lists
// are cut to the given capacity and the needed length is reported.
TEST_F(Features, ReadsIntoSmallBuffersAreCutAndReportTheFullLength) {
  GENICAM_EnumNode mode = acq_->exposureAuto(acq_);
  char small[4] = {'?', '?', '?', '?'};
  uint32_t len = sizeof small;
  ASSERT_EQ(mode.getValueSymbol(&mode, small, &len), 0);
  EXPECT_STREQ(small, "Con");
  EXPECT_EQ(len, std::strlen("Continuous") + 1);
  len = 0;
  EXPECT_EQ(mode.getValueSymbol(&mode, small, &len), -1);
  GENICAM_EnumEntry list[2];
  uint32_t count = 2;
  ASSERT_EQ(mode.getEnumSymbolList(&mode, list, &count), 0);
  EXPECT_EQ(count, 2u);
  EXPECT_STREQ(list[1].symbol, "Once");
  mode.release(&mode);
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

// Catches named nodes that do not reach the camera's feature or are not
// counted (the interface's leak checks rely on the counts).
TEST_F(Features, NamedNodesReachTheFeatureAndAreCounted) {
  FeatureNodeInfo info{};
  info.camera = camera_;
  std::strncpy(info.attrName, "DeviceUserID", sizeof info.attrName - 1);
  GENICAM_StringNode* id = nullptr;
  ASSERT_EQ(GENICAM_createStringNode(&info, &id), 0);
  EXPECT_EQ(SdkControls().LiveObjects().named_nodes, 1u);
  EXPECT_EQ(id->setValue(id, "rig-7"), 0);
  EXPECT_EQ(simsdk::CameraState("MONO-2448")->device_user_id.value, "rig-7");
  id->release(id);
  EXPECT_EQ(SdkControls().LiveObjects().named_nodes, 0u);
}

}  // namespace
}  // namespace sdktest
