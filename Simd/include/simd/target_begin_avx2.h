// Opens the region of a kernel unit that may use AVX2: include it after
// every header whose inline functions portable units share (their
// out-of-line copies must stay portable), and close it with target_end.h.
// Deliberately without an include guard.

// Vectors passed between functions of the unit are passed as the target
// passes them; all of them are local to the unit, so no caller can differ.
#pragma GCC diagnostic ignored "-Wpsabi"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif
