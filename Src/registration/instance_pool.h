// The static pool of instance records.
#pragma once

#include "bindings/host.h"

// Every record zero except its pool_index; open_count 0.  Caller holds
// device_lock and no record holds a board any more.
void ResetInstancePool();

// The host's slot for a new instance on the lowest free record, which
// fginst.inst_data then points at; null when none is free or no interface
// is registered.  Handing a record out marks nothing: it counts as taken
// once the open gives it a board, so a request whose open fails leaves it
// free.
FGInstance** HandOutRecord(FGInstance& fginst);
