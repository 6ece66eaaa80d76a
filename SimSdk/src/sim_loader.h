// Reading a camera set from a JSON file (format at camera_json.cpp).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "sim_control.h"

namespace simsdk {

std::optional<std::vector<CameraConfig>> ReadCameraFile(const std::string& path,
                                                        std::string* error);

// The set named by TERVIXMD_SIM_CONFIG, or the built-in one without it.
// A file that does not load gives no cameras and one line on stderr that
// names the file and the problem.
std::vector<CameraConfig> StartSet();

}  // namespace simsdk
