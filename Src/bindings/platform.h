/* The thin platform seam of the interface: library loading and the message
 * box.  Windows: LoadLibraryA, GetProcAddress, MessageBoxA.  POSIX: the
 * dynamic loader ("Name.dll" is looked for as "libName.so") and a message
 * box printed as one line "<caption>: <text>" on standard error. */
#ifndef HACQ_BINDINGS_PLATFORM_H
#define HACQ_BINDINGS_PLATFORM_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef void* PlatformLibrary;

/* Loads a library by its Windows file name; null when it cannot be loaded,
 * and then why (the file and the loader's reason where the platform tells
 * them, else "") in `error`, cut to `error_size` bytes with the terminator.
 * `error` may be null.  No thread-local state: a sanitizer's leak checker
 * misreads the dynamic thread-local blocks of a loaded library. */
PlatformLibrary PlatformLoadLibrary(const char* dll_name, char* error, size_t error_size);
/* Looks a symbol up in a loaded library; null when library or symbol is missing. */
void* PlatformFindSymbol(PlatformLibrary library, const char* name);
/* A modal box with no owner window, the caption and an OK button. */
void PlatformMessageBox(const char* text, const char* caption);

#ifdef __cplusplus
}
#endif

#endif
