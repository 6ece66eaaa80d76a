#include "base/text_match.h"

bool EqualsIgnoreCase(const char* a, const char* b) {
  if (a == nullptr || b == nullptr) return false;
  for (;; ++a, ++b) {
    unsigned char ca = static_cast<unsigned char>(*a);
    unsigned char cb = static_cast<unsigned char>(*b);
    if (ca >= 'A' && ca <= 'Z') ca = static_cast<unsigned char>(ca - 'A' + 'a');
    if (cb >= 'A' && cb <= 'Z') cb = static_cast<unsigned char>(cb - 'A' + 'a');
    if (ca != cb) return false;
    if (ca == '\0') return true;
  }
}

StrippedText StripSpaces(const char* text) {
  StrippedText out{};
  if (text == nullptr) return out;
  size_t n = 0;
  for (const char* p = text; *p != '\0' && n < sizeof out.text - 1; ++p) {
    if (*p != ' ') out.text[n++] = *p;
  }
  out.text[n] = '\0';
  return out;
}
