// Choice of the instruction-set kernels, for tests and benchmarks only.
// Converters pick the best kernels the processor supports; forcing a level
// lets a test compare each level's output against the portable one.
#pragma once

#include "conversion.h"
#include "simd/isa.h"

namespace pixvane {

using Isa = simd::Isa;

// True when this processor can run the kernels of `isa`.
PIXVANE_API bool IsaSupported(Isa isa) noexcept;

// Makes later conversions use exactly the kernels of `isa` (and, for
// functions a level lacks, those of the level below).  Returns false and
// changes nothing when the processor cannot run them.  Thread-safe, but a
// conversion already running keeps the kernels it started with.
PIXVANE_API bool ForceIsa(Isa isa) noexcept;

// Goes back to the best level the processor supports.
PIXVANE_API void ResetIsa() noexcept;

}  // namespace pixvane
