// The fixture of the conformance tests: the SDK under test bound, its
// camera reset and connected; at the end every SDK object made is
// released again and the camera disconnected.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hacq_test/frame_owner.h"
#include "sdk_under_test.h"

namespace conformance {

class Conformance : public ::testing::TestWithParam<const SdkUnderTest*> {
 protected:
  void SetUp() override;
  void TearDown() override;

  const SdkEntries& sdk() const { return bound_->entries; }
  const sdkabi::Controls& controls() const { return *bound_->controls; }
  ControlCreateInfo ControlInfo() const;

  // A stream on the camera, not started; released by TearDown.
  GENICAM_StreamSource* Stream();
  // Executes TriggerSoftware.
  int32_t SoftwareTrigger();
  // Trigger mode "On" from "Software", or "Off".
  void UseSoftwareTrigger(bool on);

  std::string key_;
  GENICAM_Camera* camera_ = nullptr;
  GENICAM_ImageFormatControl* format_ = nullptr;
  GENICAM_AcquisitionControl* acquisition_ = nullptr;
  GENICAM_StreamSource* stream_ = nullptr;

 private:
  BoundSdk* bound_ = nullptr;
};

// Names the instances after their SDK.
std::string SdkName(const ::testing::TestParamInfo<const SdkUnderTest*>& info);

// Node helpers: one operation on a fresh by-value node, released after.
template <typename Node, typename Value>
int32_t SetNode(Node node, Value value) {
  const int32_t result = node.setValue(&node, value);
  node.release(&node);
  return result;
}
template <typename Node, typename Value>
int32_t GetNode(Node node, Value* value) {
  const int32_t result = node.getValue(&node, value);
  node.release(&node);
  return result;
}
int32_t SetSymbol(GENICAM_EnumNode node, const char* symbol);

// getFrame into an owner that releases the frame.
using hacq_test::FrameOwner;
FrameOwner GetFrame(GENICAM_StreamSource* stream, uint32_t timeout_ms);

// The SDKs of the build, for INSTANTIATE_TEST_SUITE_P.
std::vector<const SdkUnderTest*> AllSdks();

}  // namespace conformance
