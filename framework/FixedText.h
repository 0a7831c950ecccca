#pragma once

#include <cstring>

// Copies a NUL-terminated text into a fixed-size field, cutting it so the
// terminator always fits. A null source gives an empty text.
inline void CopyFixedText(char* dest, int destSize, const char* src) {
  if (!dest || destSize < 1) return;
  int n = 0;
  if (src) {
    while (n < destSize - 1 && src[n] != '\0')
      ++n;
    std::memmove(dest, src, static_cast<std::size_t>(n));
  }
  dest[n] = '\0';
}

template <std::size_t N> inline void CopyFixedText(char (&dest)[N], const char* src) {
  CopyFixedText(dest, static_cast<int>(N), src);
}
