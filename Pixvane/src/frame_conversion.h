// Runs a validated frame through the row kernels of one table.
#pragma once

#include "frame_geometry.h"
#include "kernels.h"

namespace pixvane {

enum class Output { Mono8, Bgr24 };

// Writes width x height pixels of `out` to `dst`, rows without padding.
// May throw std::bad_alloc for its line buffers; writes nothing else.
void ConvertFrame(const Frame& frame, Output out, const Kernels& kernels, uint8_t* dst);

}  // namespace pixvane
