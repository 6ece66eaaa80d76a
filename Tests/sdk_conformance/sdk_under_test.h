// The camera SDK libraries the conformance tests run against, each loaded
// by path as a program that drives several SDKs would, with its entry
// points and test controls bound by name, and one camera to test.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "camera_sdk.h"
#include "sdk_abi/controls.h"

namespace conformance {

struct SdkEntries {
  GENICAM_getSystemInstance_fn getSystemInstance;
  GENICAM_createAcquisitionControl_fn createAcquisitionControl;
  GENICAM_createImageFormatControl_fn createImageFormatControl;
  GENICAM_createAnalogControl_fn createAnalogControl;
  GENICAM_createISPControl_fn createISPControl;
  GENICAM_createUserSetControl_fn createUserSetControl;
  GENICAM_createDeviceControl_fn createDeviceControl;
  GENICAM_createStreamSource_fn createStreamSource;
  GENICAM_createEnumNode_fn createEnumNode;
  GENICAM_createStringNode_fn createStringNode;
};

struct SdkUnderTest {
  std::string name;  // "sim", "aravis"
  std::string path;
  // Brings the camera to its start state: 64 x 48 Mono8, free-running,
  // Width from 16 to 2048 in steps of 4, disconnected; answers its key.
  std::function<std::string()> reset;
  // Set when the SDK cannot be tested here, and why.
  std::string skip_reason;
};

// The SDKs of this build; main() fills it before the tests run.
std::vector<SdkUnderTest>& SdksUnderTest();

// The library of `sdk`, loaded and bound on first use.
struct BoundSdk {
  SdkEntries entries{};
  std::optional<sdkabi::Controls> controls;
  std::string error;  // why it could not be bound
};
BoundSdk& Bind(const SdkUnderTest& sdk);

// The discovery record of `key`, from one discovery per library and camera
// key (Aravis's takes a second): null when the camera was not found.
GENICAM_Camera* DiscoveredCamera(const SdkUnderTest& sdk, const std::string& key);

}  // namespace conformance
