// Opens the region of a kernel unit that may use AVX-512 (with the byte permutes of AVX512-VBMI):
// include it after every header whose inline functions portable units share (their out-of-line
// copies must stay portable), and close it with target_end.h. Deliberately without an include
// guard.
#if !defined(__clang__)
// GCC 12's AVX-512 intrinsics start from deliberately undefined registers,
// which these warnings mistake for uninitialised use.
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#pragma GCC diagnostic ignored "-Wuninitialized"
#endif
// Vectors passed between functions of the unit are passed as the target
// passes them; all of them are local to the unit, so no caller can differ.
#pragma GCC diagnostic ignored "-Wpsabi"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx512f,avx512bw,avx512vbmi"))), \
                             apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx512f,avx512bw,avx512vbmi")
#endif
