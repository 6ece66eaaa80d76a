#include "conformance_fixture.h"

#include <dlfcn.h>

#include <deque>

namespace conformance {

std::vector<SdkUnderTest*>& Sdks() {
  static std::vector<SdkUnderTest*> sdks;
  return sdks;
}

void AddSdk(const std::string& name, const std::string& path, std::function<std::string()> reset,
            const std::string& skip_reason) {
  static std::deque<SdkUnderTest> kept;  // addresses stay put for the process
  SdkUnderTest* sdk = &kept.emplace_back(SdkUnderTest{name, std::move(reset), skip_reason});
  Sdks().push_back(sdk);
  if (!skip_reason.empty()) return;
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);  // kept for the process
  if (!library) {
    sdk->bind_error = dlerror();
    return;
  }
  auto bind = [&](auto& slot, const char* symbol) {
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(dlsym(library, symbol));
    if (!slot) sdk->bind_error += std::string(" missing ") + symbol;
  };
  SdkEntries& e = sdk->entries;
  bind(e.getSystemInstance, "GENICAM_getSystemInstance");
  bind(e.createAcquisitionControl, "GENICAM_createAcquisitionControl");
  bind(e.createImageFormatControl, "GENICAM_createImageFormatControl");
  bind(e.createAnalogControl, "GENICAM_createAnalogControl");
  bind(e.createISPControl, "GENICAM_createISPControl");
  bind(e.createDeviceControl, "GENICAM_createDeviceControl");
  bind(e.createStreamSource, "GENICAM_createStreamSource");
  bind(e.createEnumNode, "GENICAM_createEnumNode");
  bind(e.createStringNode, "GENICAM_createStringNode");
  sdk->controls =
      sdkabi::Controls::Bind([&](const char* symbol) { return dlsym(library, symbol); });
  if (!sdk->controls) sdk->bind_error += " missing a test control";
}

std::string SdkName(const ::testing::TestParamInfo<SdkUnderTest*>& info) {
  return info.param->name;
}

void Conformance::SetUp() {
  SdkUnderTest& under_test = *GetParam();
  if (!under_test.skip_reason.empty()) GTEST_SKIP() << under_test.skip_reason;
  ASSERT_TRUE(under_test.bind_error.empty()) << under_test.name << ":" << under_test.bind_error;
  key_ = under_test.reset();
  if (key_ != under_test.discovered_key) {
    GENICAM_System* system = nullptr;
    GENICAM_Camera* cameras = nullptr;
    uint32_t count = 0;
    ASSERT_EQ(sdk().getSystemInstance(&system), SDK_OK);
    ASSERT_EQ(system->discovery(system, &cameras, &count, SDK_DISCOVERY_ALL), SDK_OK);
    under_test.camera = nullptr;
    for (uint32_t i = 0; i < count; ++i)
      if (key_ == cameras[i].getKey(&cameras[i])) under_test.camera = &cameras[i];
    under_test.discovered_key = key_;
  }
  camera_ = under_test.camera;
  ASSERT_NE(camera_, nullptr) << "discovery did not find " << key_;
  controls().ClearWriteLog(key_);
  ASSERT_EQ(controls().LiveObjects(), sdkabi::LiveObjectCount{});
  ASSERT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), SDK_OK);
  const ControlCreateInfo info = ControlInfo();
  ASSERT_EQ(sdk().createImageFormatControl(&info, &format_), SDK_OK);
  ASSERT_EQ(sdk().createAcquisitionControl(&info, &acquisition_), SDK_OK);
}

void Conformance::TearDown() {
  if (!GetParam()->controls) return;
  controls().ClearFaults();
  if (stream_) stream_->release(stream_);
  if (format_) format_->release(format_);
  if (acquisition_) acquisition_->release(acquisition_);
  // A count left over is a fault of the SDK's bookkeeping (or of the test).
  EXPECT_EQ(controls().LiveObjects(), sdkabi::LiveObjectCount{});
  if (camera_) camera_->disConnect(camera_);
}

GENICAM_StreamSource* Conformance::Stream() {
  if (!stream_) {
    StreamSourceInfo info{camera_, 0, {}};
    EXPECT_EQ(sdk().createStreamSource(&info, &stream_), SDK_OK);
  }
  return stream_;
}

int32_t Conformance::SoftwareTrigger() {
  GENICAM_CmdNode command = acquisition_->triggerSoftware(acquisition_);
  const int32_t result = command.execute(&command);
  command.release(&command);
  return result;
}

void Conformance::UseSoftwareTrigger(bool on) {
  if (on) {
    ASSERT_EQ(SetSymbol(acquisition_->triggerSource(acquisition_), "Software"), SDK_OK);
  }
  ASSERT_EQ(SetSymbol(acquisition_->triggerMode(acquisition_), on ? "On" : "Off"), SDK_OK);
}

int32_t SetSymbol(GENICAM_EnumNode node, const char* symbol) {
  const int32_t result = node.setValueBySymbol(&node, symbol);
  node.release(&node);
  return result;
}

FrameOwner GetFrame(GENICAM_StreamSource* stream, uint32_t timeout_ms) {
  FrameOwner owner;
  GENICAM_Frame* frame = nullptr;
  if (stream->getFrame(stream, &frame, timeout_ms) == SDK_OK) owner.frame = frame;
  return owner;
}

}  // namespace conformance
