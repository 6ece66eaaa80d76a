// The fixture of the SDK conformance tests: each camera SDK library of the
// build, loaded by path as a program that drives several SDKs would, with
// its entry points and test controls bound by name.  Each test gets the
// SDK's camera reset and connected, with its format and acquisition
// controls; at the end every SDK object made must be released again.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "camera_sdk.h"
#include "hacq_test/frame_owner.h"
#include "sdk_abi/controls.h"

namespace conformance {

struct SdkEntries {
  GENICAM_getSystemInstance_fn getSystemInstance;
  GENICAM_createAcquisitionControl_fn createAcquisitionControl;
  GENICAM_createImageFormatControl_fn createImageFormatControl;
  GENICAM_createAnalogControl_fn createAnalogControl;
  GENICAM_createISPControl_fn createISPControl;
  GENICAM_createDeviceControl_fn createDeviceControl;
  GENICAM_createStreamSource_fn createStreamSource;
  GENICAM_createEnumNode_fn createEnumNode;
  GENICAM_createStringNode_fn createStringNode;
};

struct SdkUnderTest {
  std::string name;  // "sim", "aravis"
  // Brings the camera to its start state: 64 x 48 Mono8, free-running,
  // Width from 16 to 2048 in steps of 4, disconnected; answers its key.
  std::function<std::string()> reset;
  std::string skip_reason;  // set when the SDK cannot be tested here, and why
  std::string bind_error;   // set when the library could not be bound
  SdkEntries entries{};
  std::optional<sdkabi::Controls> controls;
  // The camera's discovery record, looked up again only when the reset
  // answers another key (Aravis's discovery takes a second).
  std::string discovered_key;
  GENICAM_Camera* camera = nullptr;
};

// Adds the library at `path` to the SDKs under test, bound unless
// `skip_reason` says why it cannot be tested here.
void AddSdk(const std::string& name, const std::string& path, std::function<std::string()> reset,
            const std::string& skip_reason = "");

// The SDKs of the build, for INSTANTIATE_TEST_SUITE_P; main() adds them.
std::vector<SdkUnderTest*>& Sdks();
std::string SdkName(const ::testing::TestParamInfo<SdkUnderTest*>& info);

class Conformance : public ::testing::TestWithParam<SdkUnderTest*> {
 protected:
  void SetUp() override;
  void TearDown() override;

  const SdkEntries& sdk() const { return GetParam()->entries; }
  const sdkabi::Controls& controls() const { return *GetParam()->controls; }
  ControlCreateInfo ControlInfo() const { return {camera_}; }

  // A stream on the camera, not started; released by TearDown.
  GENICAM_StreamSource* Stream();
  int32_t SoftwareTrigger();
  // Trigger mode "On" from "Software", or "Off".
  void UseSoftwareTrigger(bool on);

  std::string key_;
  GENICAM_Camera* camera_ = nullptr;
  GENICAM_ImageFormatControl* format_ = nullptr;
  GENICAM_AcquisitionControl* acquisition_ = nullptr;
  GENICAM_StreamSource* stream_ = nullptr;
};

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
// Writes `value` and reads it back through one node, released after;
// nothing when either fails.
template <typename Node, typename Value>
std::optional<Value> RoundTrip(Node node, Value value) {
  Value read{};
  const bool ok = node.setValue(&node, value) == SDK_OK && node.getValue(&node, &read) == SDK_OK;
  node.release(&node);
  return ok ? std::optional(read) : std::nullopt;
}
int32_t SetSymbol(GENICAM_EnumNode node, const char* symbol);

// getFrame into an owner that releases the frame.
using hacq_test::FrameOwner;
FrameOwner GetFrame(GENICAM_StreamSource* stream, uint32_t timeout_ms);

}  // namespace conformance
