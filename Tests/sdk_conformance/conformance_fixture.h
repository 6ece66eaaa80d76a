// The fixture of the SDK conformance tests: each camera SDK library of the
// build, loaded by path as a program that drives several SDKs would, with
// its entry points and test controls bound by name.  Each test gets the
// SDK's camera reset and connected, with its format and acquisition
// controls; at the end every SDK object made must be released again.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <deque>
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

// The SDKs of the build, for INSTANTIATE_TEST_SUITE_P; main() adds them.
inline std::vector<SdkUnderTest*>& Sdks() {
  static std::vector<SdkUnderTest*> sdks;
  return sdks;
}

// Adds the library at `path` to the SDKs under test, bound unless
// `skip_reason` says why it cannot be tested here.
inline void AddSdk(const std::string& name, const std::string& path,
                   std::function<std::string()> reset, const std::string& skip_reason = "") {
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

inline std::string SdkName(const ::testing::TestParamInfo<SdkUnderTest*>& info) {
  return info.param->name;
}

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
inline int32_t SetSymbol(GENICAM_EnumNode node, const char* symbol) {
  const int32_t result = node.setValueBySymbol(&node, symbol);
  node.release(&node);
  return result;
}

// getFrame into an owner that releases the frame.
using hacq_test::FrameOwner;
inline FrameOwner GetFrame(GENICAM_StreamSource* stream, uint32_t timeout_ms) {
  FrameOwner owner;
  GENICAM_Frame* frame = nullptr;
  if (stream->getFrame(stream, &frame, timeout_ms) == SDK_OK) owner.frame = frame;
  return owner;
}

class Conformance : public ::testing::TestWithParam<SdkUnderTest*> {
 protected:
  void SetUp() override {
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
    const ControlCreateInfo info{camera_};
    ASSERT_EQ(sdk().createImageFormatControl(&info, &format_), SDK_OK);
    ASSERT_EQ(sdk().createAcquisitionControl(&info, &acquisition_), SDK_OK);
  }
  void TearDown() override {
    if (!GetParam()->controls) return;
    controls().ClearFaults();
    if (stream_) stream_->release(stream_);
    if (format_) format_->release(format_);
    if (acquisition_) acquisition_->release(acquisition_);
    // A count left over is a fault of the SDK's bookkeeping (or of the test).
    EXPECT_EQ(controls().LiveObjects(), sdkabi::LiveObjectCount{});
    if (camera_) camera_->disConnect(camera_);
  }

  const SdkEntries& sdk() const { return GetParam()->entries; }
  const sdkabi::Controls& controls() const { return *GetParam()->controls; }

  // A stream on the camera, not started; released by TearDown.
  GENICAM_StreamSource* Stream() {
    if (!stream_) {
      StreamSourceInfo info{camera_, 0, {}};
      EXPECT_EQ(sdk().createStreamSource(&info, &stream_), SDK_OK);
    }
    return stream_;
  }
  int32_t SoftwareTrigger() {
    GENICAM_CmdNode command = acquisition_->triggerSoftware(acquisition_);
    const int32_t result = command.execute(&command);
    command.release(&command);
    return result;
  }
  // Trigger mode "On" from "Software".
  void UseSoftwareTrigger() {
    ASSERT_EQ(SetSymbol(acquisition_->triggerSource(acquisition_), "Software"), SDK_OK);
    ASSERT_EQ(SetSymbol(acquisition_->triggerMode(acquisition_), "On"), SDK_OK);
  }

  std::string key_;
  GENICAM_Camera* camera_ = nullptr;
  GENICAM_ImageFormatControl* format_ = nullptr;
  GENICAM_AcquisitionControl* acquisition_ = nullptr;
  GENICAM_StreamSource* stream_ = nullptr;
};

}  // namespace conformance
