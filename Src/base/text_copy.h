// Bounded text copies into the records' fixed character arrays.
#pragma once

#include <cstddef>
#include <cstring>

// Copies at most N - 1 characters of src (null reads as empty) and fills
// the rest of dst with NUL, so dst is always terminated and holds nothing
// of an earlier text.
template <std::size_t N>
void CopyText(char (&dst)[N], const char* src) {
  const std::size_t length = src == nullptr ? 0 : strnlen(src, N - 1);
  if (length > 0) std::memcpy(dst, src, length);
  std::memset(dst + length, 0, N - length);
}
