#include "conformance_fixture.h"

namespace conformance {

void Conformance::SetUp() {
  const SdkUnderTest& under_test = *GetParam();
  if (!under_test.skip_reason.empty()) GTEST_SKIP() << under_test.skip_reason;
  bound_ = &Bind(under_test);
  ASSERT_TRUE(bound_->error.empty()) << under_test.path << ":" << bound_->error;
  key_ = under_test.reset();
  camera_ = DiscoveredCamera(under_test, key_);
  ASSERT_NE(camera_, nullptr) << "discovery did not find " << key_;
  controls().ClearWriteLog(key_);
  ASSERT_EQ(controls().LiveObjects(), sdkabi::LiveObjectCount{});
  ASSERT_EQ(camera_->connect(camera_, SDK_ACCESS_CONTROL), SDK_OK);
  const ControlCreateInfo info = ControlInfo();
  ASSERT_EQ(sdk().createImageFormatControl(&info, &format_), SDK_OK);
  ASSERT_EQ(sdk().createAcquisitionControl(&info, &acquisition_), SDK_OK);
}

void Conformance::TearDown() {
  if (!bound_ || !bound_->controls) return;
  controls().ClearFaults();
  if (stream_) stream_->release(stream_);
  if (format_) format_->release(format_);
  if (acquisition_) acquisition_->release(acquisition_);
  // Every test lets go of what it made: a count left over is a fault of
  // the SDK's bookkeeping (or of the test).
  EXPECT_EQ(controls().LiveObjects(), sdkabi::LiveObjectCount{});
  if (camera_) camera_->disConnect(camera_);
}

ControlCreateInfo Conformance::ControlInfo() const {
  ControlCreateInfo info{};
  info.camera = camera_;
  return info;
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

std::string SdkName(const ::testing::TestParamInfo<const SdkUnderTest*>& info) {
  return info.param->name;
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

std::vector<const SdkUnderTest*> AllSdks() {
  std::vector<const SdkUnderTest*> all;
  for (const SdkUnderTest& sdk : SdksUnderTest()) all.push_back(&sdk);
  return all;
}

}  // namespace conformance
