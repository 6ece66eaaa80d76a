/* The library's exported entry points: the host's registration function and
 * the six camera-listing functions any program may call.  Every other
 * symbol is hidden (see exports.map).  Compiles as C and as C++.
 *
 * Listing functions: callable from any thread, before or without FGInit.
 * They keep a camera list of their own; the host's camera table is not
 * touched.  Strings they return belong to the camera SDK and stay valid as
 * long as its camera objects do. */
#ifndef HACQ_EXPORTS_H
#define HACQ_EXPORTS_H

#include <stdint.h>

#include "host.h"

#if defined(_WIN32)
#if defined(HACQ_BUILD)
#define HACQ_EXPORT __declspec(dllexport)
#else
#define HACQ_EXPORT __declspec(dllimport)
#endif
#else
#define HACQ_EXPORT __attribute__((visibility("default")))
#endif

/* Nothing throws out of these functions. */
#ifdef __cplusplus
#define HACQ_NOEXCEPT noexcept
#else
#define HACQ_NOEXCEPT
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Registration: loads the camera SDK, discovers the cameras, fills the
 * camera table, clears the instance pool and fills *fg.  2 on success, 3
 * when the SDK (library, entry point, system object or discovery) fails.
 * Called by the host once, before any other operation; calling it again
 * with no instance open starts over with a fresh discovery. */
HACQ_EXPORT Herror FGInit(Hproc_handle proc_id, FGClass* fg) HACQ_NOEXCEPT;

/* Room for this many characters per camera in discovery_camera's buffer. */
#define HACQ_KEY_SLOT 2048

/* Discovers the cameras into the listing's own list and writes each key
 * (without spaces, NUL-terminated) at keys + i * HACQ_KEY_SLOT; the caller
 * provides HACQ_KEY_SLOT bytes per camera.  0 on success with *count set,
 * -1 on failure (or a null argument), *count then untouched. */
HACQ_EXPORT int32_t discovery_camera(char* keys, uint32_t* count) HACQ_NOEXCEPT;

/* The identity strings of the listed camera whose key without spaces
 * equals key exactly; null when no listed camera matches. */
HACQ_EXPORT const char* getKey(const char* key) HACQ_NOEXCEPT;
HACQ_EXPORT const char* getModelName(const char* key) HACQ_NOEXCEPT;
HACQ_EXPORT const char* getName(const char* key) HACQ_NOEXCEPT;
HACQ_EXPORT const char* getSerialNumber(const char* key) HACQ_NOEXCEPT;
HACQ_EXPORT const char* getVendorName(const char* key) HACQ_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif
