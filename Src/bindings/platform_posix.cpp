#include <dlfcn.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform.h"

namespace {

// The interface's own folder, with its trailing '/'. Searched first, as the
// SDK is installed beside the interface; dlopen's RUNPATH lookup alone is
// lost when a sanitizer runtime intercepts the call.
std::string InterfaceFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&InterfaceFolder), &info) == 0 ||
      info.dli_fname == nullptr) {
    return {};
  }
  const std::string path(info.dli_fname);
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

extern "C" PlatformLibrary PlatformLoadLibrary(const char* dll_name, char* error,
                                               size_t error_size) {
  if (error != nullptr && error_size > 0) error[0] = '\0';
  if (dll_name == nullptr) return nullptr;
  std::string name(dll_name);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0) {
    name = "lib" + name.substr(0, name.size() - 4) + ".so";
  }
  if (name.find('/') == std::string::npos) {
    const std::string folder = InterfaceFolder();
    if (!folder.empty()) {
      if (void* library = dlopen((folder + name).c_str(), RTLD_NOW | RTLD_LOCAL)) return library;
    }
  }
  void* library = dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
  const char* reason = library == nullptr ? dlerror() : nullptr;
  if (reason != nullptr && error != nullptr && error_size > 0) {
    const size_t length = std::min(std::strlen(reason), error_size - 1);
    std::memcpy(error, reason, length);
    error[length] = '\0';
  }
  return library;
}

extern "C" void* PlatformFindSymbol(PlatformLibrary library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return dlsym(library, name);
}

extern "C" void PlatformMessageBox(const char* text, const char* caption) {
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
  std::fflush(stderr);
}
