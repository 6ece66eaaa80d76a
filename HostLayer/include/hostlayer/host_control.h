// Test controls of the host layer: accounting, fault injection and records
// of what the interface asked of the host.  All functions are thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host.h"
#include "hostlayer/export.h"

namespace hostlayer {

// The host layer's own error codes (besides the codes tests inject).
inline constexpr Herror kErrNoMemory = 9001;         // allocation refused by the system
inline constexpr Herror kErrNotHostBlock = 9002;     // freed pointer is no live host block
inline constexpr Herror kErrBadArgument = 9003;      // null out-pointer, bad size or kind
inline constexpr Herror kErrMutexState = 9004;       // unknown, busy or foreign-owned mutex
inline constexpr Herror kErrUnknownVariable = 9005;  // HAccessGlVar variable or mode
inline constexpr Herror kErrNotLoaded = 9006;        // driver: interface missing or FGInit failed
inline constexpr Herror kErrNoInstanceSlot = 9007;   // driver: OpenRequest gave no valid slot
inline constexpr Herror kErrInstancesOpen = 9008;    // driver: Reinit with instances open
inline constexpr Herror kErrInstanceClosed = 9009;   // driver: operation on a closed instance
inline constexpr Herror kErrBadAnswer = 9010;        // driver: the interface broke a contract

struct MemoryStats {
  int64_t live_blocks = 0;  // HXAlloc blocks and HNewImage pixel blocks not yet freed
  int64_t live_bytes = 0;
  int64_t allocations = 0;          // blocks created since the last Reset
  int64_t checked_allocations = 0;  // of those, made through HXAllocMemCheck
};
HOSTLAYER_API MemoryStats Memory();

// Host calls that tests can make fail.
enum class HostCall {
  Alloc,  // HXAlloc and HXAllocMemCheck
  Free,   // HXFree and HXFreeMemCheck
  NewImage,
  NewImagePtr,
  MutexInit,
  MutexLock,
  MutexUnlock,
  MutexDestroy,
  GlVarRead,   // HAccessGlVar mode 1
  GlVarWrite,  // HAccessGlVar mode 0
  GetDefaults,
};
inline constexpr int kHostCallKinds = 11;

// The nth call of that kind from now (1 = the next one) fails with `code`;
// with `and_after`, every call from the nth on fails.  A failing call has no
// effect besides its status.
HOSTLAYER_API void FailCall(HostCall call, int64_t nth, Herror code, bool and_after = false);
// Number of calls of that kind since the last Reset (failed ones included).
HOSTLAYER_API int64_t CallCount(HostCall call);

// Mutexes made by HpThreadMutexInit and not yet destroyed.
HOSTLAYER_API int64_t LiveMutexes();

// Call tracing: IOGetSpyProcCallSwitch answers `on`; IOSpyProcCall records.
struct SpyRecord {
  std::string text;
  int32_t line;
  std::string file;
};
HOSTLAYER_API void SetSpy(bool on);
HOSTLAYER_API std::vector<SpyRecord> SpyLog();

// HProcessErr records its arguments and returns the status it got, or the
// code set here.
struct ProcessErrRecord {
  std::string text;
  Herror err;
  int32_t line;
  std::string file;
};
HOSTLAYER_API std::vector<ProcessErrRecord> ProcessErrLog();
HOSTLAYER_API void SetProcessErrResult(std::optional<Herror> result);

// IOPrintErrorMessage texts, in order (they are also printed on stderr).
HOSTLAYER_API std::vector<std::string> ErrorMessages();

// Host setting 64 (HAccessGlVar) and its history of values written.
HOSTLAYER_API int64_t Setting64();
HOSTLAYER_API void SetSetting64(int64_t value);
HOSTLAYER_API std::vector<int64_t> Setting64Writes();

// The answer of HGVGet_CPUCache(1) (default 32).
HOSTLAYER_API void SetCpuCache(int64_t size);

// The exported flags HTraceMemory and HDoLowError.
HOSTLAYER_API void SetTraceMemory(bool on);
HOSTLAYER_API void SetDoLowError(bool on);

// Back to defaults: faults, logs, counters, spy off, setting 64 = 1, flags
// off.  Live memory is not forgotten.
HOSTLAYER_API void Reset();

}  // namespace hostlayer
