// The one check every operation on an instance makes before anything else.
// A record is free until an open gives it a board, open from then on with
// the camera it uses, and free again after its close.  A close that fails
// part-way (a host free refused) leaves it closing: the board kept, the
// camera already given up; only a retried close may touch it then.
#pragma once

#include <optional>

#include "base/records.h"
#include "bindings/host.h"

// The open instance behind `fginst`; nothing for a free or closing record.
// With `device_must_match` also nothing when the instance's device string
// no longer selects its camera (the host may rewrite it after the open).
std::optional<OpenInstance> OpenInstanceOf(FGInstance* fginst, bool device_must_match);

// The record a close works on: open or closing; null when it is free.
InstanceRecord* ClosableRecordOf(FGInstance* fginst);
