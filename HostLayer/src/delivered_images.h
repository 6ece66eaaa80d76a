// Turning the Himage records an interface filled into delivered Images.
#pragma once

#include <array>

#include "hostlayer/host_driver.h"

namespace hostlayer::detail {

// The host hands the interface room for one gray or three colour images.
inline constexpr int kMaxImages = 3;
using RawImages = std::array<Himage, kMaxImages>;

// Takes ownership of every host pixel block in raw, also of images beyond
// count or of a failed grab, so nothing leaks; those are released at once.
// On success (status ≤ 2 and a sound answer) *images receives the first
// count images; kErrBadAnswer when count or an image record is unusable.
Herror CollectImages(Herror status, RawImages& raw, int32_t count, Images* images);

}  // namespace hostlayer::detail
