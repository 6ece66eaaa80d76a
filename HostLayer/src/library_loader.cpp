#include "library_loader.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace hostlayer::detail {

std::string InterfaceFileName(const std::string& interface_name) {
#if defined(_WIN32)
  if (interface_name.find_first_of("/\\") != std::string::npos) return interface_name;
  return "hAcq" + interface_name + ".dll";
#else
  if (interface_name.find('/') != std::string::npos) return interface_name;
  return "libhAcq" + interface_name + ".so";
#endif
}

#if defined(_WIN32)

void* LoadLibraryFile(const std::string& file_name, std::string* error) {
  HMODULE module = LoadLibraryA(file_name.c_str());
  if (module == nullptr) {
    *error = "cannot load " + file_name + " (error " + std::to_string(GetLastError()) + ")";
  }
  return reinterpret_cast<void*>(module);
}

void* FindLibrarySymbol(void* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

#else

namespace {

// The folder this library was loaded from, with its trailing '/'. Searched
// first, like a host looks beside itself: dlopen's own RUNPATH lookup is lost
// when a sanitizer runtime intercepts the call.
std::string OwnFolder() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&OwnFolder), &info) == 0 || info.dli_fname == nullptr) {
    return {};
  }
  const std::string path(info.dli_fname);
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

void* LoadLibraryFile(const std::string& file_name, std::string* error) {
  void* library = nullptr;
  if (file_name.find('/') == std::string::npos) {
    const std::string folder = OwnFolder();
    if (!folder.empty()) library = dlopen((folder + file_name).c_str(), RTLD_NOW | RTLD_LOCAL);
  }
  if (library == nullptr) library = dlopen(file_name.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    const char* reason = dlerror();
    *error = reason != nullptr ? reason : "cannot load " + file_name;
  }
  return library;
}

void* FindLibrarySymbol(void* library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return dlsym(library, name);
}

#endif

}  // namespace hostlayer::detail
