#include "sdk_fixture.h"

namespace sdktest {

const sdkabi::Controls& SdkControls() {
  static const sdkabi::Controls controls = sdkabi::Controls::Linked();
  return controls;
}

simsdk::CameraConfig SmallCamera(const std::string& key) {
  simsdk::CameraConfig c = simsdk::DefaultCameras().front();
  c.key = key;
  c.name = key + " name";
  c.serial = key + "-SN";
  c.width = {16, 1, 4096, 1, true};
  c.height = {4, 1, 4096, 1, true};
  c.pixel_format = {"Mono8", {"Mono8"}, true};
  c.max_frame_rate = 0;
  return c;
}

std::span<GENICAM_Camera> Discover() {
  GENICAM_System* system = nullptr;
  GENICAM_Camera* cameras = nullptr;
  uint32_t count = 0;
  if (GENICAM_getSystemInstance(&system) != 0 ||
      system->discovery(system, &cameras, &count, SDK_DISCOVERY_ALL) != 0) {
    ADD_FAILURE() << "discovery failed";
    return {};
  }
  return {cameras, count};
}

GENICAM_Camera* FindCamera(const std::string& key) {
  for (GENICAM_Camera& camera : Discover())
    if (key == camera.getKey(&camera)) return &camera;
  return nullptr;
}

FrameOwner GetFrame(GENICAM_StreamSource* stream, uint32_t timeout_ms) {
  FrameOwner owner;
  GENICAM_Frame* frame = nullptr;
  if (stream->getFrame(stream, &frame, timeout_ms) == 0) owner.frame = frame;
  return owner;
}

void SimTest::SetUp() {
  simsdk::Reset();
}

void SimTest::TearDown() {
  if (stream_) stream_->release(stream_);
  // A leak here is a fault of the SDK's bookkeeping or of the test.
  EXPECT_EQ(SdkControls().LiveObjects(), sdkabi::LiveObjectCount{});
  simsdk::Reset();
}

GENICAM_StreamSource* SimTest::OpenStream(const std::string& key) {
  GENICAM_Camera* camera = FindCamera(key);
  if (!camera || camera->connect(camera, SDK_ACCESS_CONTROL) != 0) return nullptr;
  if (stream_) stream_->release(stream_);
  StreamSourceInfo info{camera, 0, {}};
  stream_ = nullptr;
  GENICAM_createStreamSource(&info, &stream_);
  return stream_;
}

}  // namespace sdktest
