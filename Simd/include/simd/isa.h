// The instruction-set levels of the vector kernels, and which of them this
// processor runs.  One build serves every x86-64 machine: each library
// compiles a kernel unit per level and picks the level once at run time.
#pragma once

namespace simd {

// Each level includes the ones below it.  Avx512 is AVX-512 F and BW with
// the byte permutes of AVX512-VBMI.
enum class Isa : int { Portable = 0, Ssse3 = 1, Avx2 = 2, Avx512 = 3 };
inline constexpr int kIsaLevels = 4;

// True when this processor can run the kernels of `isa`.  Thread-safe.
bool Supported(Isa isa) noexcept;

// The highest level Supported.
Isa Best() noexcept;

}  // namespace simd
