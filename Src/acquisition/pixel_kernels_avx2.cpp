// The AVX2 kernels: the vector kernels over simd::Avx2.
#include "acquisition/pixel_kernel_levels.h"
#include "simd/shuffle_masks.h"

#if defined(__x86_64__) || defined(__i386__)
#include "simd/target_begin_avx2.h"
// Compiled for AVX2 from here on:
#include "acquisition/pixel_kernels_vector.h"
#include "simd/avx2_vector.h"

constinit const PixelKernels kAvx2PixelKernels = VectorPixelKernels<simd::Avx2>();

#include "simd/target_end.h"
#endif
