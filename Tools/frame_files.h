// Where grabbed frames are saved: DIR/<device>_<number>.png.
#pragma once

#include <cstdint>
#include <string>

// The file of frame `index` of a run of `count` frames.  Characters of the
// device string other than letters, digits, '-', '.' and '_' become '_', so
// a key cannot leave DIR; the number has at least four digits, and as many
// as the largest index needs, so names sort in frame order.
std::string FramePath(const std::string& dir, const std::string& device, int64_t index,
                      int64_t count);

// Creates DIR and its parents if missing; false with *error otherwise.
bool EnsureDirectory(const std::string& dir, std::string* error);
