// Lock and unlock of an instance's cancel_mutex as guarded host calls
// (spy report, HProcessErr on failure).
#pragma once

#include "base/records.h"
#include "bindings/host.h"

Herror LockCancelMutex(InstanceRecord& inst);

// A failed unlock is reported, and tried once more unreported: a host
// error must not leave the instance locked for good, which would fail its
// every later grab and abort and its close.
Herror UnlockCancelMutex(InstanceRecord& inst);
