// Turning an application's open parameters into the host's FGInstance.
#pragma once

#include "hostlayer/host_driver.h"

namespace hostlayer::detail {

// Fills the open-parameter fields of fginst from params, taking the
// interface record's defaults for -1 and "default".  kErrBadArgument for a
// value of the wrong kind, out of range, or a text too long for the record.
Herror ResolveOpenParams(const OpenParams& params, const FGClass& defaults, FGInstance* fginst);

}  // namespace hostlayer::detail
