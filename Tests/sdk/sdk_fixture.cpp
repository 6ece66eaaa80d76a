#include "sdk_fixture.h"

namespace sdktest {

const sdkabi::Controls& SdkControls() {
  static const sdkabi::Controls controls = sdkabi::Controls::Linked();
  return controls;
}

simsdk::CameraConfig SmallCamera(const std::string& key, const std::string& format, uint32_t width,
                                 uint32_t height) {
  simsdk::CameraConfig c = simsdk::DefaultCameras().front();
  c.key = key;
  c.name = key + " name";
  c.serial = key + "-SN";
  c.width = {width, 1, 4096, 1, true};
  c.height = {height, 1, 4096, 1, true};
  c.pixel_format = {format, {format}, true};
  c.max_frame_rate = 0;
  return c;
}

GENICAM_Camera* FindCamera(const std::string& key) {
  GENICAM_System* system = nullptr;
  if (GENICAM_getSystemInstance(&system) != 0) return nullptr;
  GENICAM_Camera* cameras = nullptr;
  uint32_t count = 0;
  if (system->discovery(system, &cameras, &count, SDK_DISCOVERY_ALL) != 0) return nullptr;
  for (uint32_t i = 0; i < count; ++i)
    if (key == cameras[i].getKey(&cameras[i])) return &cameras[i];
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
