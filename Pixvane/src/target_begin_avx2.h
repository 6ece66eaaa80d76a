// Opens the region of a kernel unit that may use AVX2: include it after
// every header whose inline functions portable units share (their
// out-of-line copies must stay portable), and close it with target_end.h.
// Deliberately without an include guard.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
