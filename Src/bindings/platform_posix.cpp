#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "platform.h"

extern "C" PlatformLibrary PlatformLoadLibrary(const char* dll_name) {
  if (dll_name == nullptr) return nullptr;
  std::string name(dll_name);
  if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dll") == 0) {
    name = "lib" + name.substr(0, name.size() - 4) + ".so";
  }
  return dlopen(name.c_str(), RTLD_NOW | RTLD_LOCAL);
}

extern "C" void* PlatformFindSymbol(PlatformLibrary library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return dlsym(library, name);
}

extern "C" void PlatformMessageBox(const char* text, const char* caption) {
  std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
  std::fflush(stderr);
}
