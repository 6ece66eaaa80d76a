#include "base/cancel_mutex.h"

#include "base/contract_texts.h"
#include "base/guarded_call.h"

Herror LockCancelMutex(InstanceRecord& inst) {
  return HCALL(contract::kLockCancelMutex, HpThreadMutexLock(&inst.cancel_mutex));
}

Herror UnlockCancelMutex(InstanceRecord& inst) {
  const Herror err = HCALL(contract::kUnlockCancelMutex, HpThreadMutexUnlock(&inst.cancel_mutex));
  if (err > H_MSG_OK) HpThreadMutexUnlock(&inst.cancel_mutex);
  return err;
}
