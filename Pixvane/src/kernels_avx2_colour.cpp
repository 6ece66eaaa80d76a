// AVX2 kernels for the colour and YUV 4:2:2 layouts: 32 pixels per step,
// shuffled within 128-bit lanes.
#include "kernels.h"
#include "lane_tables.h"
#include "pixel_math.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// Everything below, and only that, may use AVX2; shared inline helpers
// were included above so their out-of-line copies stay portable.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "avx2_vector.h"
#include "vector_kernels.h"

namespace pixvane {

void InstallAvx2ColourKernels(Kernels&) {}

}  // namespace pixvane

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else
namespace pixvane {
void InstallAvx2ColourKernels(Kernels&) {}
}  // namespace pixvane
#endif
