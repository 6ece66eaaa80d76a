// What the Aravis SDK adds to the ABI's rules, on its fake camera.
#include <chrono>
#include <thread>

#include "conformance_fixture.h"

namespace conformance {
namespace {

using namespace std::chrono_literals;

class AravisBackend : public Conformance {};

std::vector<SdkUnderTest*> AravisSdk() {
  std::vector<SdkUnderTest*> aravis;
  for (SdkUnderTest* sdk : Sdks())
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

// Frames the camera sent while every buffer was held count as dropped,
// one each, once later frames show the gap.  Catches drops that are not
// counted, or counted by the packet (as Aravis does).
TEST_P(AravisBackend, FramesWithoutAFreeBufferCountAsDropped) {
  GENICAM_StreamSource* stream = Stream();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(stream->startGrabbing(stream, 0, 1), SDK_OK);
  std::this_thread::sleep_for(300ms);  // 500 frames a second, none taken
  for (int i = 0; i < 12; ++i) ASSERT_NE(GetFrame(stream, 2000).frame, nullptr) << i;
  // A loaded machine may sleep longer: the camera sent one frame each 2 ms meanwhile.
  const auto sent_at_most = uint64_t((std::chrono::steady_clock::now() - start) / 2ms) + 1;
  const uint64_t dropped = controls().CameraCounters(key_).frames_dropped;
  EXPECT_GE(dropped, 1u);
  EXPECT_LE(dropped, sent_at_most) << "more than the camera sent";
}

INSTANTIATE_TEST_SUITE_P(Sdks, AravisBackend, ::testing::ValuesIn(AravisSdk()), SdkName);

}  // namespace
}  // namespace conformance
