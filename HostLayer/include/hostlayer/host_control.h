// Test controls of the host layer: accounting, fault injection and records
// of what the interface asked of the host.  All functions are thread-safe.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "host.h"

namespace hostlayer {

struct MemoryStats {
  int64_t live_blocks = 0;  // HXAlloc blocks and HNewImage pixel blocks not yet freed
  int64_t live_bytes = 0;
  int64_t allocations = 0;  // allocation calls since the last Reset
};
MemoryStats Memory();

// Host calls that tests can make fail.
enum class HostCall {
  Alloc,         // HXAlloc and HXAllocMemCheck
  Free,          // HXFree and HXFreeMemCheck
  NewImage,
  NewImagePtr,
  MutexInit,
  MutexLock,
  MutexUnlock,
  MutexDestroy,
  GlVarRead,     // HAccessGlVar mode 1
  GlVarWrite,    // HAccessGlVar mode 0
  GetDefaults,
};
inline constexpr int kHostCallKinds = 11;

// The nth call of that kind from now (1 = the next one) fails with `code`;
// with `and_after`, every call from the nth on fails.  A failing call has no
// effect besides its status.
void FailCall(HostCall call, int64_t nth, Herror code, bool and_after = false);
// Number of calls of that kind since the last Reset (failed ones included).
int64_t CallCount(HostCall call);

// Call tracing: IOGetSpyProcCallSwitch answers `on`; IOSpyProcCall records.
struct SpyRecord {
  std::string text;
  int32_t line;
  std::string file;
};
void SetSpy(bool on);
std::vector<SpyRecord> SpyLog();

// HProcessErr records its arguments and returns the status it got, or the
// code set here.
struct ProcessErrRecord {
  std::string text;
  Herror err;
  int32_t line;
  std::string file;
};
std::vector<ProcessErrRecord> ProcessErrLog();
void SetProcessErrResult(std::optional<Herror> result);

// IOPrintErrorMessage texts, in order (they are also printed on stderr).
std::vector<std::string> ErrorMessages();

// Host setting 64 (HAccessGlVar) and its history of values written.
int64_t Setting64();
void SetSetting64(int64_t value);
std::vector<int64_t> Setting64Writes();

// The answer of HGVGet_CPUCache(1) (default 32).
void SetCpuCache(int64_t size);

// The exported flags HTraceMemory and HDoLowError.
void SetTraceMemory(bool on);
void SetDoLowError(bool on);

// Back to defaults: faults, logs, counters, spy off, setting 64 = 1, flags
// off.  Live memory is not forgotten.
void Reset();

}  // namespace hostlayer
