#include "sdk_binding.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "interface_state.h"

namespace {

template <class Fn>
Fn Lookup(const char* name) {
  return reinterpret_cast<Fn>(PlatformFindSymbol(sdk_module, name));
}

// The library HACQ_CAMERA_SDK names, or null for the simulator's.
const char* ChosenLibrary(const char* choice) {
  if (choice == nullptr || choice[0] == '\0' || std::strcmp(choice, "sim") == 0) return nullptr;
  if (std::strcmp(choice, "aravis") == 0) return "TervixmdAravis.dll";
  return choice;
}

// Every entry point a camera SDK library exports; a chosen library must
// have them all.
constexpr const char* kEntryPoints[] = {
    "GENICAM_getSystemInstance",        "GENICAM_createAcquisitionControl",
    "GENICAM_createImageFormatControl", "GENICAM_createAnalogControl",
    "GENICAM_createISPControl",         "GENICAM_createUserSetControl",
    "GENICAM_createDeviceControl",      "GENICAM_createStreamSource",
    "GENICAM_createEnumNode",           "GENICAM_createStringNode"};

const char* MissingEntryPoint() {
  for (const char* name : kEntryPoints)
    if (PlatformFindSymbol(sdk_module, name) == nullptr) return name;
  return nullptr;
}

void ReportChoice(const char* choice, const char* problem, const char* detail) {
  std::fprintf(stderr, "hAcqOmbrix: camera SDK library \"%s\" (%s) %s%s\n", choice,
               kSdkChoiceVariable, problem, detail);
  std::fflush(stderr);
}

}  // namespace

const SdkEntryPoints& BindSdk() {
  static SdkEntryPoints entries{};
  static std::once_flag once;
  std::call_once(once, [] {
    const char* choice = std::getenv(kSdkChoiceVariable);
    const char* chosen = ChosenLibrary(choice);
    sdk_module = PlatformLoadLibrary(chosen != nullptr ? chosen : kSdkLibraryName);
    if (chosen != nullptr && sdk_module == nullptr) {
      ReportChoice(choice, "cannot be loaded: ", PlatformLoadError());
      return;
    }
    if (sdk_module == nullptr) return;
    if (chosen != nullptr) {
      if (const char* missing = MissingEntryPoint()) {
        // Bound as a library without its entry points: no camera, every
        // open 5302.
        ReportChoice(choice, "lacks ", missing);
        return;
      }
    }
    entries.getSystemInstance = Lookup<GENICAM_getSystemInstance_fn>("GENICAM_getSystemInstance");
    entries.createStreamSource =
        Lookup<GENICAM_createStreamSource_fn>("GENICAM_createStreamSource");
    entries.createEnumNode = Lookup<GENICAM_createEnumNode_fn>("GENICAM_createEnumNode");
    entries.createStringNode = Lookup<GENICAM_createStringNode_fn>("GENICAM_createStringNode");
  });
  return entries;
}
