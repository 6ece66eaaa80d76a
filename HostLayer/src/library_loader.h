// Loading an interface library by its interface name, as the host does.
#pragma once

#include <string>

namespace hostlayer::detail {

// "Ombrix" → libhAcqOmbrix.so (hAcqOmbrix.dll on Windows), looked for on
// the library path; a name containing a path separator is loaded as given.
std::string InterfaceFileName(const std::string& interface_name);

// Null on failure, with the loader's reason in *error.
void* LoadLibraryFile(const std::string& file_name, std::string* error);
void* FindLibrarySymbol(void* library, const char* name);

}  // namespace hostlayer::detail
