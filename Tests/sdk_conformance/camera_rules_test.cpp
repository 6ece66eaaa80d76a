// Camera, control and node rules of the SDK ABI, for every SDK library.
#include <cmath>
#include <cstring>
#include <string>
#include <tuple>
#include <utility>

#include "conformance_fixture.h"

namespace conformance {
namespace {

using sdkabi::FaultPoint;

// Rule: discovery arrays stay valid (the interface keeps the records of
// its first discovery for the life of the process), and keys stay put.
// Catches records freed or rewritten by a later discovery.
TEST_P(Conformance, EarlierDiscoveryRecordsStayValid) {
  GENICAM_System* system = nullptr;
  ASSERT_EQ(sdk().getSystemInstance(&system), SDK_OK);
  GENICAM_Camera* cameras = nullptr;
  uint32_t count = 0;
  ASSERT_EQ(system->discovery(system, &cameras, &count, SDK_DISCOVERY_ALL), SDK_OK);
  EXPECT_GE(count, 1u);
  EXPECT_EQ(key_, camera_->getKey(camera_));
  EXPECT_EQ(camera_->isConnected(camera_), SDK_OK);
  for (auto text : {&GENICAM_Camera::getName, &GENICAM_Camera::getVendorName,
                    &GENICAM_Camera::getModelName, &GENICAM_Camera::getSerialNumber})
    EXPECT_NE((camera_->*text)(camera_), nullptr);
}

// Rule: connecting again is harmless; a disconnect stops the camera's
// stream and fails its nodes and the creation of controls and named nodes
// until it is connected again, when the same objects work again.  Catches
// objects of a disconnected camera that still act (or crash), and objects
// that stay dead after reconnecting.
TEST_P(Conformance, DisconnectFailsObjectsUntilReconnect) {
  EXPECT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), SDK_OK);
  // Made while connected: a camera on a network cannot tell its features
  // before it is connected.
  GENICAM_IntNode width = format_->width(format_);
  GENICAM_StreamSource* stream = Stream();
  ASSERT_EQ(stream->startGrabbing(stream, 0, SDK_GRAB_STRATEGY_ONE_BY_ONE), SDK_OK);

  ASSERT_EQ(camera_->disConnect(camera_), SDK_OK);
  EXPECT_EQ(camera_->isConnected(camera_), SDK_FAIL);
  EXPECT_FALSE(controls().IsConnected(key_));
  EXPECT_EQ(stream->isGrabbing(stream), SDK_FAIL) << "disconnect must stop the stream";
  EXPECT_EQ(stream->startGrabbing(stream, 0, 1), SDK_FAIL);
  int64_t value = 0;
  EXPECT_EQ(width.getValue(&width, &value), SDK_FAIL);
  EXPECT_EQ(width.setValue(&width, 32), SDK_FAIL);
  const ControlCreateInfo info{camera_};
  GENICAM_AnalogControl* analog = nullptr;
  EXPECT_EQ(sdk().createAnalogControl(&info, &analog), SDK_FAIL);
  FeatureNodeInfo named{camera_, "TriggerMode"};
  GENICAM_EnumNode* node = nullptr;
  EXPECT_EQ(sdk().createEnumNode(&named, &node), SDK_FAIL);

  ASSERT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), SDK_OK);
  EXPECT_EQ(width.getValue(&width, &value), SDK_OK);
  EXPECT_EQ(value, 64);
  EXPECT_EQ(stream->startGrabbing(stream, 0, 1), SDK_OK);
  EXPECT_NE(GetFrame(stream, 2000).frame, nullptr);
  width.release(&width);
}

// Rule: writes outside a feature's limits or off its increment, and
// values a float cannot hold, are refused and change nothing; a refused
// write is still logged.  Catches limits (or Aravis's increments, which
// Aravis itself never checks) that are not enforced.
TEST_P(Conformance, WritesOutsideLimitsOrOffTheIncrementAreRefused) {
  const std::pair<int64_t, int32_t> widths[] = {{2048, SDK_OK}, {2049, SDK_FAIL}, {2052, SDK_FAIL},
                                                {12, SDK_FAIL}, {0, SDK_FAIL},    {17, SDK_FAIL},
                                                {30, SDK_FAIL}, {16, SDK_OK},     {32, SDK_OK}};
  for (const auto& [value, expected] : widths)
    EXPECT_EQ(SetNode(format_->width(format_), value), expected) << "Width " << value;
  int64_t width = 0;
  EXPECT_EQ(GetNode(format_->width(format_), &width), SDK_OK);
  EXPECT_EQ(width, 32);

  double exposure = 0;
  ASSERT_EQ(GetNode(acquisition_->exposureTime(acquisition_), &exposure), SDK_OK);
  for (double refused : {std::nan(""), double{INFINITY}, 5.0, 2e6})
    EXPECT_EQ(SetNode(acquisition_->exposureTime(acquisition_), refused), SDK_FAIL) << refused;
  double after = 0;
  EXPECT_EQ(GetNode(acquisition_->exposureTime(acquisition_), &after), SDK_OK);
  EXPECT_EQ(after, exposure);
  EXPECT_EQ(SetSymbol(format_->pixelFormat(format_), "mono8"), SDK_FAIL) << "symbols match exactly";
  EXPECT_EQ(SetSymbol(format_->pixelFormat(format_), "RGB8Nope"), SDK_FAIL);

  const std::vector<sdkabi::LogEntry> log = controls().WriteLog(key_);
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log.front(), (sdkabi::LogEntry{"Width", "2048", true}));
  EXPECT_EQ(log[1], (sdkabi::LogEntry{"Width", "2049", false}));
}

// Rule: every feature the controls reach reads and writes back what was
// written, float nodes included where the camera's feature is an integer
// (GainRaw often is).  Catches an accessor wired to the wrong feature or
// kind, and a float write of an integer feature that does not land.
TEST_P(Conformance, EveryAccessorWritesAndReadsItsFeature) {
  const ControlCreateInfo info{camera_};
  GENICAM_AnalogControl* analog = nullptr;
  GENICAM_ISPControl* isp = nullptr;
  GENICAM_DeviceControl* device = nullptr;
  ASSERT_EQ(sdk().createAnalogControl(&info, &analog), SDK_OK);
  ASSERT_EQ(sdk().createISPControl(&info, &isp), SDK_OK);
  ASSERT_EQ(sdk().createDeviceControl(&info, &device), SDK_OK);
  EXPECT_EQ(RoundTrip(analog->gainRaw(analog), 4.0), 4.0);
  EXPECT_EQ(RoundTrip(analog->gamma(analog), 2.5), 2.5);
  EXPECT_EQ(RoundTrip(acquisition_->exposureTime(acquisition_), 3000.0), 3000.0);
  EXPECT_EQ(RoundTrip(acquisition_->acquisitionFrameRate(acquisition_), 100.0), 100.0);
  EXPECT_EQ(RoundTrip(isp->contrast(isp), int64_t{70}), 70);
  EXPECT_EQ(RoundTrip(acquisition_->acquisitionFrameRateEnable(acquisition_), 1u), 1u);
  for (auto reverse :
       {&GENICAM_ImageFormatControl::reverseX, &GENICAM_ImageFormatControl::reverseY}) {
    EXPECT_EQ(RoundTrip((format_->*reverse)(format_), 1u), 1u);
    EXPECT_EQ(SetNode((format_->*reverse)(format_), 2u), SDK_FAIL);
  }
  EXPECT_EQ(SetSymbol(acquisition_->exposureAuto(acquisition_), "Off"), SDK_OK);
  EXPECT_EQ(SetSymbol(acquisition_->triggerSelector(acquisition_), "FrameStart"), SDK_OK);

  GENICAM_StringNode user_id = device->deviceUserID(device);
  EXPECT_EQ(user_id.setValue(&user_id, "rig-7"), SDK_OK);
  EXPECT_EQ(user_id.setValue(&user_id, std::string(SDK_STRING_LEN, 'x').c_str()), SDK_FAIL);
  char text[SDK_STRING_LEN] = {};
  uint32_t length = sizeof text;
  EXPECT_EQ(user_id.getValue(&user_id, text, &length), SDK_OK);
  EXPECT_STREQ(text, "rig-7");
  user_id.release(&user_id);
  analog->release(analog);
  isp->release(isp);
  device->release(device);
}

// Rule: texts and lists are cut to the caller's capacity, and the needed
// length is reported.  Catches unbounded copies into the caller's buffers.
TEST_P(Conformance, ReadsIntoSmallBuffersAreCutAndReportTheFullLength) {
  ASSERT_EQ(SetSymbol(acquisition_->exposureAuto(acquisition_), "Continuous"), SDK_OK);
  GENICAM_EnumNode mode = acquisition_->exposureAuto(acquisition_);
  char small[4] = {'?', '?', '?', '?'};
  uint32_t len = sizeof small;
  ASSERT_EQ(mode.getValueSymbol(&mode, small, &len), SDK_OK);
  EXPECT_STREQ(small, "Con");
  EXPECT_EQ(len, std::strlen("Continuous") + 1);
  len = 0;
  EXPECT_EQ(mode.getValueSymbol(&mode, small, &len), SDK_FAIL);
  GENICAM_EnumEntry list[2];
  uint32_t count = 2;
  ASSERT_EQ(mode.getEnumSymbolList(&mode, list, &count), SDK_OK);
  EXPECT_EQ(count, 2u);
  EXPECT_STREQ(list[1].symbol, "Once");
  mode.release(&mode);
}

// Rule: nodes by name reach enumeration and string features only, are
// counted while alive, and fail cleanly for names the camera lacks.
// Catches named nodes that reach the wrong feature or leak.
TEST_P(Conformance, NamedNodesReachTheirFeatureOnly) {
  // The name, whether as an enumeration node, and the answer.
  const std::tuple<const char*, bool, int32_t> cases[] = {
      {"TriggerMode", true, SDK_OK},      {"DeviceUserID", false, SDK_OK},
      {"DeviceUserID", true, SDK_FAIL},   {"Width", true, SDK_FAIL},
      {"NoSuchFeature", false, SDK_FAIL}, {"", true, SDK_FAIL}};
  for (const auto& [name, as_enum, expected] : cases) {
    FeatureNodeInfo info{};
    info.camera = camera_;
    std::strncpy(info.attrName, name, sizeof info.attrName - 1);
    GENICAM_EnumNode* enum_node = nullptr;
    GENICAM_StringNode* string_node = nullptr;
    const int32_t result = as_enum ? sdk().createEnumNode(&info, &enum_node)
                                   : sdk().createStringNode(&info, &string_node);
    EXPECT_EQ(result, expected) << name;
    if (result != SDK_OK) continue;
    EXPECT_EQ(controls().LiveObjects().named_nodes, 1u);
    if (enum_node) enum_node->release(enum_node);
    if (string_node) string_node->release(string_node);
  }
  FeatureNodeInfo unterminated{};
  unterminated.camera = camera_;
  std::memset(unterminated.attrName, 'A', sizeof unterminated.attrName);
  GENICAM_StringNode* node = nullptr;
  EXPECT_EQ(sdk().createStringNode(&unterminated, &node), SDK_FAIL);
}

// Rule: the test controls' faults work the same on every SDK: the next N
// calls fail, or every call until cleared, and a failed call changes
// nothing.  Catches a backend that bypasses the shared fault points.
TEST_P(Conformance, FaultsFailTheNextCallsOrForGoodUntilCleared) {
  ASSERT_EQ(camera_->disConnect(camera_), SDK_OK);
  controls().InjectFault(key_, FaultPoint::Connect, 2);
  EXPECT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), SDK_FAIL);
  EXPECT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), SDK_FAIL);
  EXPECT_FALSE(controls().IsConnected(key_));
  EXPECT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), SDK_OK);
  controls().InjectFault(key_, FaultPoint::FeatureWrite, sdkabi::kForever, "Width");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(SetNode(format_->width(format_), int64_t{32}), SDK_FAIL);
  EXPECT_EQ(SetNode(format_->height(format_), int64_t{32}), SDK_OK) << "another feature";
  controls().ClearFaults();
  EXPECT_EQ(SetNode(format_->width(format_), int64_t{32}), SDK_OK);
}

INSTANTIATE_TEST_SUITE_P(Sdks, Conformance, ::testing::ValuesIn(Sdks()), SdkName);

}  // namespace
}  // namespace conformance
