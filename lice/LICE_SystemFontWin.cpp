// System fonts on Windows: GDI fonts, measured and drawn with GDI into the
// scratch surface's DIB section, and GDI's own text drawing for the native
// path.
#include "LICE_FontBackend.h"
#include "LICE_SysBitmap.h"
#include "LICE_Utf8.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

namespace {

COLORREF ToColorRef(LICE_PixelWord p) {
  return RGB(LICE_PixelRed(p), LICE_PixelGreen(p), LICE_PixelBlue(p));
}

// One character as UTF-16 (a surrogate pair above the basic plane).
int ToUnits(long code, wchar_t* units) {
  if (code >= 0x10000 && code <= 0x10FFFF) {
    code -= 0x10000;
    units[0] = (wchar_t)(0xD800 + (code >> 10));
    units[1] = (wchar_t)(0xDC00 + (code & 0x3FF));
    return 2;
  }
  units[0] = (wchar_t)code;
  return 1;
}

// GDI output on Wine differs from Windows' own; the probe runs once.
bool RunningUnderWine() {
  static const bool wine = [] {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Wine", &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }();
  return wine;
}

} // namespace

LICE_FontHandle LICE_CreateSystemFont(const char* face, int height, int weight, bool italic,
                                      int escapement, int quality) {
  return (LICE_FontHandle)CreateFontA(height, 0, escapement, escapement, weight,
                                      italic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                      OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, (DWORD)quality,
                                      DEFAULT_PITCH, face ? face : "");
}

void LICE_DestroySystemFont(LICE_FontHandle font) {
  if (font) DeleteObject((HGDIOBJ)font);
}

namespace lice_font_backend {

int LineHeight(LICE_SysBitmap* scratch, LICE_FontHandle font) {
  HDC dc = scratch ? (HDC)scratch->DeviceContext() : nullptr;
  if (!dc || !font) return 0;
  HGDIOBJ previous = SelectObject(dc, (HGDIOBJ)font);
  TEXTMETRICW metrics;
  int height = GetTextMetricsW(dc, &metrics) ? (int)metrics.tmHeight : 0;
  SelectObject(dc, previous);
  return height;
}

void PrepareScratch(LICE_SysBitmap* scratch) {
  HDC dc = scratch ? (HDC)scratch->DeviceContext() : nullptr;
  if (!dc) return;
  SetTextColor(dc, RGB(255, 255, 255));
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(0, 0, 0));
}

bool MeasureChar(LICE_SysBitmap* scratch, LICE_FontHandle font, long code, int* width,
                 int* height) {
  *width = *height = 0;
  HDC dc = scratch ? (HDC)scratch->DeviceContext() : nullptr;
  if (!dc || !font) return false;
  wchar_t units[2];
  int n = ToUnits(code, units);
  HGDIOBJ previous = SelectObject(dc, (HGDIOBJ)font);
  RECT r = {0, 0, 0, 0};
  DrawTextW(dc, units, n, &r, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);
  SelectObject(dc, previous);
  *width = r.right - r.left;
  *height = r.bottom - r.top;
  return true;
}

void DrawCharWhite(LICE_SysBitmap* scratch, LICE_FontHandle font, long code, int x) {
  HDC dc = scratch ? (HDC)scratch->DeviceContext() : nullptr;
  if (!dc || !font) return;
  wchar_t units[2];
  int n = ToUnits(code, units);
  GdiFlush(); // our own writes to the pixels come first
  HGDIOBJ previous = SelectObject(dc, (HGDIOBJ)font);
  RECT r = {x, 0, scratch->Width(), scratch->Height()};
  DrawTextW(dc, units, n, &r, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
  SelectObject(dc, previous);
  GdiFlush(); // the pixels are read directly next
}

bool NativeTextAvailable() {
  return true;
}

bool NativeTextPreferred() {
  return !RunningUnderWine();
}

int NativeDrawText(void* context, LICE_FontHandle font, const char* text, int length,
                   LICE_Rect* box, unsigned int flags, LICE_PixelWord textColour, int backMode,
                   LICE_PixelWord backColour) {
  HDC dc = (HDC)context;
  if (!dc || !font || !text || !box || length < 0) return 0;
  const UINT format = flags & 0x3FFFFFFFu; // our own high flags mean nothing to GDI
  bool multiByte = false;
  for (int k = 0; k < length && !multiByte; ++k)
    multiByte = (unsigned char)text[k] >= 0x80;

  GdiFlush();
  HGDIOBJ previous = SelectObject(dc, (HGDIOBJ)font);
  SetTextColor(dc, ToColorRef(textColour));
  SetBkMode(dc, backMode == 2 ? OPAQUE : TRANSPARENT);
  SetBkColor(dc, ToColorRef(backColour));
  RECT r = {box->left, box->top, box->right, box->bottom};
  int result = 0;
  if (!multiByte) {
    result = DrawTextA(dc, text, length, &r, format);
  } else {
    // UTF-16 needs at most one unit per byte, plus the terminator.
    char16_t local[1024];
    char16_t* wide = length < 1000 ? local : (char16_t*)malloc(((size_t)length + 1) * 2);
    size_t capacity = length < 1000 ? 1024 : (size_t)length + 1;
    int units = wide ? lice_utf8::ToUtf16(text, (size_t)length, wide, capacity, false) : -1;
    if (units >= 0) result = DrawTextW(dc, (const wchar_t*)wide, units, &r, format);
    if (wide != local) free(wide);
  }
  SelectObject(dc, previous);
  GdiFlush();
  if (format & DT_CALCRECT) {
    box->left = r.left;
    box->top = r.top;
    box->right = r.right;
    box->bottom = r.bottom;
  }
  return result;
}

} // namespace lice_font_backend
