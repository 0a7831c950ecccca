#pragma once

// UTF-8 decoding shared by text drawing and file names.

#include <cstddef>

namespace lice_utf8 {

// Decodes the sequence at p (p < end) and advances p past it. A malformed
// sequence yields -1 when strict; otherwise its first byte is taken as a
// Latin-1 character, so 8-bit legacy text still draws.
inline long Next(const unsigned char*& p, const unsigned char* end, bool strict) {
  unsigned c = *p;
  if (c < 0x80) {
    ++p;
    return (long)c;
  }
  int extra = 0;
  unsigned long cp = 0, min = 0;
  if ((c & 0xE0) == 0xC0) {
    extra = 1, cp = c & 0x1F, min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    extra = 2, cp = c & 0x0F, min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    extra = 3, cp = c & 0x07, min = 0x10000;
  }
  bool ok = extra > 0 && end - p > extra;
  for (int k = 1; ok && k <= extra; ++k) {
    if ((p[k] & 0xC0) != 0x80)
      ok = false;
    else
      cp = cp << 6 | (p[k] & 0x3F);
  }
  if (ok && (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) ok = false;
  if (!ok) {
    ++p;
    return strict ? -1 : (long)c;
  }
  p += extra + 1;
  return (long)cp;
}

// Converts UTF-8 to NUL-terminated UTF-16 in out (capacity units). Returns the
// number of units written without the terminator, or -1 when the text is
// malformed (strict) or does not fit.
inline int ToUtf16(const char* text, size_t length, char16_t* out, size_t capacity, bool strict) {
  const unsigned char* p = (const unsigned char*)text;
  const unsigned char* end = p + length;
  size_t n = 0;
  while (p < end) {
    long cp = Next(p, end, strict);
    if (cp < 0) return -1;
    if (cp >= 0x10000) {
      if (n + 2 >= capacity) return -1;
      cp -= 0x10000;
      out[n++] = (char16_t)(0xD800 + (cp >> 10));
      out[n++] = (char16_t)(0xDC00 + (cp & 0x3FF));
    } else {
      if (n + 1 >= capacity) return -1;
      out[n++] = (char16_t)cp;
    }
  }
  if (n >= capacity) return -1;
  out[n] = 0;
  return (int)n;
}

} // namespace lice_utf8
