// Opens the region of a kernel unit that may use SSSE3: include it after
// every header whose inline functions portable units share (their
// out-of-line copies must stay portable), and close it with target_end.h.
// Deliberately without an include guard.
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("ssse3"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("ssse3")
#endif
