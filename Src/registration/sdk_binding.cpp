#include "registration/sdk_binding.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "base/contract_texts.h"
#include "bindings/platform.h"

namespace {

// The first entry point binding found missing (null: none).
const char* missing_entry = nullptr;

template <class Fn>
void Bind(PlatformLibrary library, Fn& entry, const char* name) {
  entry = reinterpret_cast<Fn>(PlatformFindSymbol(library, name));
  if (entry == nullptr && missing_entry == nullptr) missing_entry = name;
}

// The library HACQ_CAMERA_SDK names, or null for the simulator's.
const char* ChosenLibrary(const char* choice) {
  if (choice == nullptr || choice[0] == '\0' || std::strcmp(choice, "sim") == 0) return nullptr;
  if (std::strcmp(choice, "aravis") == 0) return "TervixmdAravis.dll";
  return choice;
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
    char error[512];
    const PlatformLibrary library =
        PlatformLoadLibrary(chosen ? chosen : contract::kSdkLibrary, error, sizeof error);
    if (library == nullptr) {
      if (chosen != nullptr) ReportChoice(choice, "cannot be loaded: ", error);
      return;
    }
    entries.library_loaded = true;
    Bind(library, entries.getSystemInstance, contract::kGetSystemInstance);
    Bind(library, entries.createStreamSource, contract::kCreateStreamSource);
    Bind(library, entries.createEnumNode, contract::kCreateEnumNode);
    Bind(library, entries.createStringNode, contract::kCreateStringNode);
    Bind(library, entries.createAcquisitionControl, contract::kCreateAcquisitionControl);
    Bind(library, entries.createImageFormatControl, contract::kCreateImageFormatControl);
    Bind(library, entries.createAnalogControl, contract::kCreateAnalogControl);
    Bind(library, entries.createISPControl, contract::kCreateIspControl);
    Bind(library, entries.createUserSetControl, contract::kCreateUserSetControl);
    Bind(library, entries.createDeviceControl, contract::kCreateDeviceControl);
    if (chosen != nullptr && missing_entry != nullptr) {
      // Bound as a library without its entry points: no camera, every
      // open 5302.
      ReportChoice(choice, "lacks ", missing_entry);
      entries = SdkEntryPoints{};
      entries.library_loaded = true;
    }
  });
  return entries;
}
