// The AVX-512 kernels: the vector kernels over simd::Avx512.
#include "acquisition/pixel_kernel_levels.h"

#if defined(__x86_64__) || defined(__i386__)

#include "simd/target_begin_avx512.h"
// Compiled for AVX-512 from here on:
#include "acquisition/pixel_kernels_vector.h"
#include "simd/avx512_vector.h"

constinit const PixelKernels kAvx512PixelKernels = VectorPixelKernels<simd::Avx512>();

#include "simd/target_end.h"
#endif
