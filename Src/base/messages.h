// The interface's messages go to standard output, flushed at once so that
// they keep their place among the host's own output.
#pragma once

#include <cstdio>

inline void PrintMessage(const char* text) {
  std::fputs(text, stdout);
  std::fflush(stdout);
}
