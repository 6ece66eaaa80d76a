#include "cancel_mutex.h"

#include "guarded_call.h"

Herror LockCancelMutex(InstanceRecord* currInst) {
  return HCALL("HpThreadMutexLock(&currInst->cancel_mutex)",
               HpThreadMutexLock(&currInst->cancel_mutex));
}

Herror UnlockCancelMutex(InstanceRecord* currInst) {
  const Herror err = HCALL("HpThreadMutexUnlock(&currInst->cancel_mutex)",
                           HpThreadMutexUnlock(&currInst->cancel_mutex));
  if (err > H_MSG_OK) HpThreadMutexUnlock(&currInst->cancel_mutex);
  return err;
}
