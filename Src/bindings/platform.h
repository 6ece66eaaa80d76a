/* The thin platform seam of the interface: library loading and the message
 * box.  Windows: LoadLibraryA, GetProcAddress, MessageBoxA.  POSIX: the
 * dynamic loader ("Name.dll" is looked for as "libName.so") and a message
 * box printed as one line "<caption>: <text>" on standard error. */
#ifndef HACQ_BINDINGS_PLATFORM_H
#define HACQ_BINDINGS_PLATFORM_H

#ifdef __cplusplus
extern "C" {
#endif

typedef void* PlatformLibrary;

/* Loads a library by its Windows file name; null when it cannot be loaded. */
PlatformLibrary PlatformLoadLibrary(const char* dll_name);
/* Why the calling thread's last PlatformLoadLibrary failed (the file and
 * the loader's reason where the platform tells them), or ""; valid until
 * that thread's next load. */
const char* PlatformLoadError(void);
/* Looks a symbol up in a loaded library; null when library or symbol is missing. */
void* PlatformFindSymbol(PlatformLibrary library, const char* name);
/* A modal box with no owner window, the caption and an OK button. */
void PlatformMessageBox(const char* text, const char* caption);

#ifdef __cplusplus
}
#endif

#endif
