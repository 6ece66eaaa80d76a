// Matching of host texts: whole-string ASCII case-insensitive equality, and
// the space stripping of camera names and keys.
#pragma once

#include "base/records.h"

// ASCII case-insensitive whole-string equality; false when either is null.
bool EqualsIgnoreCase(const char* a, const char* b);

// A text without its space characters (code 32); tabs and other white space
// stay.  Each call has its own result; input beyond 1023 characters is cut.
struct StrippedText {
  char text[kTextLen];
};
StrippedText StripSpaces(const char* text);
