// AVX-512 kernels (with byte permutes, AVX512-VBMI) for the colour and YUV
// 4:2:2 layouts: 64 pixels per step.
#include "kernels.h"
#include "lane_tables.h"
#include "pixel_math.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>

// Everything below, and only that, may use AVX-512; shared inline helpers
// were included above so their out-of-line copies stay portable.
#if !defined(__clang__)
// GCC 12's AVX-512 intrinsics start from deliberately undefined registers,
// which these warnings mistake for uninitialised use.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw,avx512vbmi"))), \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vbmi")
#endif

namespace pixvane {

void InstallAvx512ColourKernels(Kernels&) {}

}  // namespace pixvane

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif

#else
namespace pixvane {
void InstallAvx512ColourKernels(Kernels&) {}
}  // namespace pixvane
#endif
