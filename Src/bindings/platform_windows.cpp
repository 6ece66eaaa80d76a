#include <windows.h>

#include "platform.h"

extern "C" PlatformLibrary PlatformLoadLibrary(const char* dll_name) {
  if (dll_name == nullptr) return nullptr;
  return reinterpret_cast<PlatformLibrary>(LoadLibraryA(dll_name));
}

extern "C" const char* PlatformLoadError(void) {
  return "";  // the box says enough on Windows
}

extern "C" void* PlatformFindSymbol(PlatformLibrary library, const char* name) {
  if (library == nullptr || name == nullptr) return nullptr;
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

extern "C" void PlatformMessageBox(const char* text, const char* caption) {
  MessageBoxA(nullptr, text, caption, MB_OK);
}
