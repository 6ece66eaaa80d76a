// The SSSE3 kernels: the vector kernels over simd::Ssse3.
#include "acquisition/pixel_kernel_levels.h"
#include "simd/shuffle_masks.h"

#if defined(__x86_64__) || defined(__i386__)
#include "simd/target_begin_ssse3.h"
// Compiled for SSSE3 from here on:
#include "acquisition/pixel_kernels_vector.h"
#include "simd/ssse3_vector.h"

constinit const PixelKernels kSsse3PixelKernels = VectorPixelKernels<simd::Ssse3>();

#include "simd/target_end.h"
#endif
