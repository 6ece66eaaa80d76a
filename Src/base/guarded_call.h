// Host calls that can fail go through GuardedCall: a spy report first (when
// the host traces calls), the call, and HProcessErr for a failed status
// (any above H_MSG_OK).
#pragma once

#include <cstddef>
#include <cstdint>

#include "bindings/host.h"

// Reports `text` to the spy when tracing is on.
void SpyReport(const char* text, int32_t line);

// Applies the error rule to a call's status: a failed status goes to
// HProcessErr, whose answer wins when it is a failure too.
Herror ConvertStatus(const char* text, int32_t line, Herror status);

template <class Call>
Herror GuardedCall(const char* text, int32_t line, Call&& call) {
  SpyReport(text, line);
  return ConvertStatus(text, line, call());
}

#define HCALL(text, expr) GuardedCall((text), __LINE__, [&]() -> Herror { return (expr); })

// Host memory: the checking allocator while HTraceMemory is set, with the
// caller's line. Both are guarded calls reported as `text`.
Herror HostAlloc(Hproc_handle proc_id, size_t size, void** ptr, const char* text, int32_t line);
Herror HostFree(Hproc_handle proc_id, void* ptr, const char* text, int32_t line);

// The same allocator choice without the guard: no spy report and no
// HProcessErr.  For frees whose result the caller ignores.
Herror HostFreeQuiet(Hproc_handle proc_id, void* ptr, int32_t line);
