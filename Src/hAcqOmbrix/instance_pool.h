// The static pool of instance records.
#pragma once

#include "host.h"

// Every record zero except its pool_index; open_count 0.  Caller holds
// device_lock and no record holds a board any more.
void ResetInstancePool();
