// Validation of an open request's standard parameters and its image
// geometry.  Each returns H_MSG_OK or the host error code of the first
// check that fails; none allocates or reports anything.
#pragma once

#include <cstdint>

#include "base/records.h"
#include "bindings/host.h"

// Port, line-in, bits per channel, colour space (setting num_channels),
// external trigger and field, in that order.
Herror CheckOpenParameters(FGInstance& fginst, const InstanceRecord& inst);

// Resolution divisors and the image part, for a camera whose current size
// is width x height.  Writes width_max, height_max, the resolutions,
// resolution_mode and image_width / image_height when they are 0.
// H_ERR_FGWR for a divisor other than 1, 2 or 4; H_ERR_FGWP for an image
// part that does not lie inside the resolution.
Herror ComputeGeometry(FGInstance& fginst, int32_t width, int32_t height);
