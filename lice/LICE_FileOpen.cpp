#include "LICE_FileOpen.h"

#include "LICE_Utf8.h"

#include <cstring>
#ifdef _WIN32
#include <wchar.h>
#endif

FILE* LICE_OpenFileUtf8(const char* path, const char* mode) {
  if (!path || !mode) return nullptr;
#ifdef _WIN32
  char16_t wide[2048];
  wchar_t wideMode[8];
  size_t m = 0;
  for (; mode[m] && m < 7; ++m)
    wideMode[m] = (wchar_t)(unsigned char)mode[m];
  wideMode[m] = 0;
  static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide characters are UTF-16");
  if (lice_utf8::ToUtf16(path, strlen(path), wide, 2048, true) >= 0) {
    if (FILE* f = _wfopen((const wchar_t*)wide, wideMode)) return f;
  }
#endif
  return fopen(path, mode);
}
