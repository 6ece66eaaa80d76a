// Internal seams between the host services: fault injection, the block
// registry and the per-module resets behind hostlayer::Reset.  Not exported.
#pragma once

#include <cstddef>

#include "hostlayer/host_control.h"

namespace hostlayer::detail {

// Counts a call of that kind and answers the injected code, or 0 when the
// call goes ahead.
Herror TakeFault(HostCall call);
void ResetFaults();

// Host blocks: every block the host hands out (HXAlloc, HNewImage pixels,
// the defaults list) is registered here until it is released.
Herror CreateBlock(size_t size, bool checked, void** out);
// kErrNotHostBlock for a pointer that is not a live block (nothing freed).
Herror ReleaseBlock(void* ptr);
void ResetBlockCounters();

void ResetGlobals();
void ResetTracing();

}  // namespace hostlayer::detail
