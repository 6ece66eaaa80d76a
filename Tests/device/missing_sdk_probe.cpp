// Loads the interface library given as argv[1] in a process where the
// camera SDK library cannot be found beside it, registers it and tries an
// open and a listing.  Prints one "name value" line per step for the calling test.
#include <dlfcn.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "host.h"
#include "registration/exports.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  void* library = dlopen(argv[1], RTLD_NOW | RTLD_LOCAL);
  if (library == nullptr) {
    std::printf("load-error %s\n", dlerror());
    return 1;
  }
  const auto init = reinterpret_cast<FGInitProc>(dlsym(library, "FGInit"));
  const auto discover =
      reinterpret_cast<int32_t (*)(char*, uint32_t*)>(dlsym(library, "discovery_camera"));
  const auto get_key = reinterpret_cast<const char* (*)(const char*)>(dlsym(library, "getKey"));
  if (init == nullptr || discover == nullptr || get_key == nullptr) return 1;

  auto fg = std::make_unique<FGClass>();
  std::printf("init %d\n", init(nullptr, fg.get()));
  if (fg->OpenRequest != nullptr && fg->Open != nullptr) {
    auto fginst = std::make_unique<FGInstance>();
    fginst->field = 4;
    fginst->bits_per_channel = 8;
    std::snprintf(fginst->color_space, sizeof fginst->color_space, "default");
    std::snprintf(fginst->device, sizeof fginst->device, "default");
    FGInstance** slot = fg->OpenRequest(nullptr, fginst.get());
    std::printf("open %d\n", slot != nullptr ? fg->Open(nullptr, fginst.get()) : -1);
  }
  // Room for the simulator's cameras, when a test points the interface at it.
  std::vector<char> keys(HACQ_KEY_SLOT * 16);
  uint32_t count = 77;
  const int32_t discovered = discover(keys.data(), &count);
  std::printf("discovery %d %u\n", discovered, count);
  std::printf("getKey %s\n", get_key("MONO-2448") == nullptr ? "null" : "found");
  std::fflush(stdout);
  return 0;
}
