// Closes the region a target_begin_*.h header opened.  Deliberately without
// an include guard.
#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
