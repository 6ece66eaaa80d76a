#include "base/guarded_call.h"

#include "base/contract_texts.h"

using contract::kSourcePath;

void SpyReport(const char* text, int32_t line) {
  if (IOGetSpyProcCallSwitch()) IOSpyProcCall(text, line, kSourcePath);
}

Herror ConvertStatus(const char* text, int32_t line, Herror status) {
  if (status <= H_MSG_OK) return status;
  const Herror processed = HProcessErr(text, status, line, kSourcePath);
  return processed > H_MSG_OK ? processed : status;
}

Herror HostAlloc(Hproc_handle proc_id, size_t size, void** ptr, const char* text, int32_t line) {
  return GuardedCall(text, line, [&]() -> Herror {
    return HTraceMemory ? HXAllocMemCheck(proc_id, size, kSourcePath, line, -112, ptr)
                        : HXAlloc(proc_id, size, ptr);
  });
}

Herror HostFree(Hproc_handle proc_id, void* ptr, const char* text, int32_t line) {
  return GuardedCall(text, line, [&]() -> Herror {
    return HTraceMemory ? HXFreeMemCheck(proc_id, ptr, kSourcePath, line) : HXFree(proc_id, ptr);
  });
}

Herror HostFreeQuiet(Hproc_handle proc_id, void* ptr, int32_t line) {
  return HTraceMemory ? HXFreeMemCheck(proc_id, ptr, kSourcePath, line) : HXFree(proc_id, ptr);
}
