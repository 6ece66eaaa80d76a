#include "sdk_binding.h"

#include <mutex>

#include "interface_state.h"

namespace {

template <class Fn>
Fn Lookup(const char* name) {
  return reinterpret_cast<Fn>(PlatformFindSymbol(sdk_module, name));
}

}  // namespace

const SdkEntryPoints& BindSdk() {
  static SdkEntryPoints entries{};
  static std::once_flag once;
  std::call_once(once, [] {
    sdk_module = PlatformLoadLibrary(kSdkLibraryName);
    if (sdk_module == nullptr) return;
    entries.getSystemInstance =
        Lookup<GENICAM_getSystemInstance_fn>("GENICAM_getSystemInstance");
    entries.createStreamSource =
        Lookup<GENICAM_createStreamSource_fn>("GENICAM_createStreamSource");
    entries.createEnumNode = Lookup<GENICAM_createEnumNode_fn>("GENICAM_createEnumNode");
    entries.createStringNode = Lookup<GENICAM_createStringNode_fn>("GENICAM_createStringNode");
  });
  return entries;
}
