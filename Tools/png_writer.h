// Writes one grabbed image as a PNG file: a single plane as gray, or the
// red, green and blue planes (in this order) joined into one colour image.
#pragma once

#include <string>

#include "hostlayer/host_driver.h"

// The planes must share one size and hold width*height bytes each, rows
// packed.  False with *error (and no file under `path`) on any other plane
// count, a size mismatch, or a write failure.  The file appears under
// `path` only when it is complete.
bool WritePng(const std::string& path, const hostlayer::Images& planes, std::string* error);
