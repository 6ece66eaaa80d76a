// What the Aravis SDK adds to the ABI's rules, on its fake camera.
#include <chrono>
#include <cmath>
#include <thread>

#include "conformance_fixture.h"

namespace conformance {
namespace {

using namespace std::chrono_literals;

class AravisBackend : public Conformance {};

std::vector<const SdkUnderTest*> AravisSdk() {
  std::vector<const SdkUnderTest*> aravis;
  for (const SdkUnderTest* sdk : AllSdks())
    if (sdk->name == "aravis") aravis.push_back(sdk);
  return aravis;
}

// Aravis receives a camera's stream channel 0 in one place.  Catches a
// second stream that would take the channel from the first.
TEST_P(AravisBackend, ACameraHasOneStreamAtATime) {
  ASSERT_NE(Stream(), nullptr);
  StreamSourceInfo info{camera_, 0, {}};
  GENICAM_StreamSource* second = nullptr;
  EXPECT_EQ(sdk().createStreamSource(&info, &second), SDK_FAIL);
  stream_->release(stream_);
  stream_ = nullptr;
  ASSERT_EQ(sdk().createStreamSource(&info, &second), SDK_OK);
  second->release(second);
}

// A float written to an integer feature (GainRaw is one on the fake
// camera) must be a whole number, so that a read gives back what was
// written.  Catches a value cut or rounded on its way.
TEST_P(AravisBackend, IntegerFeaturesTakeWholeFloatsOnly) {
  const ControlCreateInfo info = ControlInfo();
  GENICAM_AnalogControl* analog = nullptr;
  ASSERT_EQ(sdk().createAnalogControl(&info, &analog), SDK_OK);
  EXPECT_EQ(SetNode(analog->gainRaw(analog), 3.0), SDK_OK);
  for (double refused : {3.5, -1.0, 11.0, 1e300})
    EXPECT_EQ(SetNode(analog->gainRaw(analog), refused), SDK_FAIL) << refused;
  double gain = 0;
  EXPECT_EQ(GetNode(analog->gainRaw(analog), &gain), SDK_OK);
  EXPECT_EQ(gain, 3.0);
  analog->release(analog);
}

// Frames the camera sent while every buffer was held count as dropped,
// one each, once later frames show the gap.  Catches drops that are not
// counted, or counted by the packet (as Aravis does).
TEST_P(AravisBackend, FramesWithoutAFreeBufferCountAsDropped) {
  GENICAM_StreamSource* stream = Stream();
  ASSERT_EQ(stream->startGrabbing(stream, 0, 1), SDK_OK);
  std::this_thread::sleep_for(300ms);  // 500 frames a second, none taken
  for (int i = 0; i < 12; ++i) ASSERT_NE(GetFrame(stream, 2000).frame, nullptr) << i;
  const uint64_t dropped = controls().CameraCounters(key_).frames_dropped;
  EXPECT_GE(dropped, 1u);
  EXPECT_LE(dropped, 200u) << "more than the camera sent";
}

INSTANTIATE_TEST_SUITE_P(Sdks, AravisBackend, ::testing::ValuesIn(AravisSdk()), SdkName);

}  // namespace
}  // namespace conformance
