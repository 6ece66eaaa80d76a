// Stands in for a camera SDK library that is not one: it exports the
// system entry point (which finds nothing) and no other.
#include <cstdint>

extern "C" __attribute__((visibility("default"))) int32_t GENICAM_getSystemInstance(void** system) {
  if (system != nullptr) *system = nullptr;
  return -1;
}
