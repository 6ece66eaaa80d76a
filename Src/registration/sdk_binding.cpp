#include "registration/sdk_binding.h"

#include <mutex>

#include "base/contract_texts.h"
#include "bindings/platform.h"

namespace {

template <class Fn>
void Bind(PlatformLibrary library, Fn& entry, const char* name) {
  entry = reinterpret_cast<Fn>(PlatformFindSymbol(library, name));
}

}  // namespace

const SdkEntryPoints& BindSdk() {
  static SdkEntryPoints entries{};
  static std::once_flag once;
  std::call_once(once, [] {
    const PlatformLibrary library = PlatformLoadLibrary(contract::kSdkLibrary);
    if (library == nullptr) return;
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
  });
  return entries;
}
