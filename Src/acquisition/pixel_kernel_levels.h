// The kernel tables of the vector levels, each defined in the unit compiled
// for its instruction set (x86 only).  Only ActivePixelKernels and
// PixelKernelsAt hand them out, after asking whether the processor runs
// them.
#pragma once

#include "acquisition/pixel_kernels.h"

extern const PixelKernels kSsse3PixelKernels;
extern const PixelKernels kAvx2PixelKernels;
extern const PixelKernels kAvx512PixelKernels;
