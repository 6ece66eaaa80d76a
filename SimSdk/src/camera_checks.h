// Whether a camera description can work: feature values within their
// limits, a key a device string can carry, frames the SDK can describe.
#pragma once

#include <string>

#include "sim_control.h"

namespace simsdk {

// What is wrong with the camera, or "" when nothing is.
std::string CameraProblem(CameraConfig& camera);

// Device strings are matched ignoring the case of ASCII letters.
std::string KeyFolded(const std::string& key);

}  // namespace simsdk
