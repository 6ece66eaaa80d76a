#include <windows.h>

#include "platform.h"

extern "C" PlatformLibrary PlatformLoadLibrary(const char* dll_name, char* error,
                                               size_t error_size) {
  // The box says enough on Windows.
  if (error != nullptr && error_size > 0) error[0] = '\0';
  if (dll_name == nullptr) return nullptr;
  return reinterpret_cast<PlatformLibrary>(LoadLibraryA(dll_name));
}

extern "C" void* PlatformFindSymbol(PlatformLibrary library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

extern "C" void PlatformMessageBox(const char* text, const char* caption) {
  MessageBoxA(nullptr, text, caption, MB_OK);
}
