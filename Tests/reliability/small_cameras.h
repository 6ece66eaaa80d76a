// Cameras and helpers shared by the reliability tests: both built-in
// cameras at 64 x 48 pixels with frames on demand, and a check of a
// delivered image against the simulator's frame formula.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "hostlayer/host_driver.h"
#include "sim_control.h"

namespace reliability {

inline constexpr char kMonoKey[] = "MONO-2448";
inline constexpr char kColorKey[] = "COLOR-1920";

// The built-in cameras, small and free-running without a rate limit; the
// colour camera delivers RGB8, whose first row carries the frame number
// unblurred (a Bayer frame's is interpolated).
std::vector<simsdk::CameraConfig> SmallCameras();

// The frame number an image shows (bytes 0..7 of it in the first eight
// pixels of the first plane), when the whole image equals the prediction
// for that frame of `key`'s current layout; nothing otherwise.
std::optional<uint64_t> VerifiedFrame(const hostlayer::Images& images, const std::string& key,
                                      bool rgb);

}  // namespace reliability
