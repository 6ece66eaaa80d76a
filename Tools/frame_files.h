// Where grabbed frames are saved: DIR/<camera>_<number>.png.
#pragma once

#include <cstdint>
#include <string>

// The file of frame `index` of a run of `count` frames (0: no count).
// Characters of the camera's key other than letters, digits, '-', '.' and
// '_' become '_', so a key cannot leave DIR; the number has at least four
// digits, and as many as the largest index needs, so names sort in frame
// order.
std::string FramePath(const std::string& dir, const std::string& camera, int64_t index,
                      int64_t count);

// Creates DIR and its parents if missing; false with *error otherwise.
bool EnsureDirectory(const std::string& dir, std::string* error);
