#include "sdk_under_test.h"

#include <dlfcn.h>

#include <map>

namespace conformance {

std::vector<SdkUnderTest>& SdksUnderTest() {
  static std::vector<SdkUnderTest> sdks;
  return sdks;
}

BoundSdk& Bind(const SdkUnderTest& sdk) {
  static std::map<std::string, BoundSdk> bound;
  auto [it, fresh] = bound.try_emplace(sdk.path);
  BoundSdk& b = it->second;
  if (!fresh) return b;
  void* library = dlopen(sdk.path.c_str(), RTLD_NOW | RTLD_LOCAL);  // kept for the process
  if (!library) {
    b.error = dlerror();
    return b;
  }
  auto bind = [&](auto& slot, const char* name) {
    slot = reinterpret_cast<std::remove_reference_t<decltype(slot)>>(dlsym(library, name));
    if (!slot) b.error += std::string(" missing ") + name;
  };
  SdkEntries& e = b.entries;
  bind(e.getSystemInstance, "GENICAM_getSystemInstance");
  bind(e.createAcquisitionControl, "GENICAM_createAcquisitionControl");
  bind(e.createImageFormatControl, "GENICAM_createImageFormatControl");
  bind(e.createAnalogControl, "GENICAM_createAnalogControl");
  bind(e.createISPControl, "GENICAM_createISPControl");
  bind(e.createUserSetControl, "GENICAM_createUserSetControl");
  bind(e.createDeviceControl, "GENICAM_createDeviceControl");
  bind(e.createStreamSource, "GENICAM_createStreamSource");
  bind(e.createEnumNode, "GENICAM_createEnumNode");
  bind(e.createStringNode, "GENICAM_createStringNode");
  b.controls = sdkabi::Controls::Bind([&](const char* name) { return dlsym(library, name); });
  if (!b.controls) b.error += " missing a test control";
  return b;
}

GENICAM_Camera* DiscoveredCamera(const SdkUnderTest& sdk, const std::string& key) {
  static std::map<std::pair<std::string, std::string>, GENICAM_Camera*> found;
  const auto known = found.find({sdk.path, key});
  if (known != found.end()) return known->second;
  const SdkEntries& e = Bind(sdk).entries;
  GENICAM_System* system = nullptr;
  GENICAM_Camera* cameras = nullptr;
  uint32_t count = 0;
  GENICAM_Camera* camera = nullptr;
  if (e.getSystemInstance(&system) == SDK_OK &&
      system->discovery(system, &cameras, &count, SDK_DISCOVERY_ALL) == SDK_OK) {
    for (uint32_t i = 0; i < count; ++i)
      if (key == cameras[i].getKey(&cameras[i])) camera = &cameras[i];
  }
  found[{sdk.path, key}] = camera;
  return camera;
}

}  // namespace conformance
