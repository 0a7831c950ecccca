// The system bitmap on Windows: a top-down 32-bit DIB section selected into a
// memory DC, so GDI (native text) and our own code share the same pixels.
#include "LICE_SysBitmap.h"

#include <windows.h>

#include <climits>

LICE_SysBitmap::LICE_SysBitmap(int width, int height) {
  mContext = CreateCompatibleDC(nullptr);
  Resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap() {
  if (mPrevious) SelectObject((HDC)mContext, (HGDIOBJ)mPrevious);
  if (mSection) DeleteObject((HGDIOBJ)mSection);
  if (mContext) DeleteDC((HDC)mContext);
}

bool LICE_SysBitmap::Resize(int width, int height) {
  if (!mContext) {
    mWidth = mHeight = 0;
    mPixels = nullptr;
    return false;
  }
  if (width == mWidth && height == mHeight) return false;
  mWidth = width;
  mHeight = height;
  if (width >= 1 && height >= 1 && mAllocatedSpan >= width && mAllocatedHeight >= height && mPixels)
    return true; // the section is reused, never shrunk

  long long span = ((long long)width + 3) & ~3LL;
  mAllocatedHeight = height;
  mAllocatedSpan = span > INT_MAX ? 0 : (int)span;
  if (mPrevious) SelectObject((HDC)mContext, (HGDIOBJ)mPrevious);
  mPrevious = nullptr;
  if (mSection) DeleteObject((HGDIOBJ)mSection);
  mSection = nullptr;
  mPixels = nullptr;

  if (mAllocatedSpan < 1 || height < 1) {
    // Never report a size there are no pixels for.
    mWidth = mHeight = 0;
    mAllocatedSpan = mAllocatedHeight = 0;
    return false;
  }

  HBITMAP section = nullptr;
  void* bits = nullptr;
  if (span <= (long long)INT_MAX / 4 / height) {
    BITMAPINFO info;
    ZeroMemory(&info, sizeof(info));
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = mAllocatedSpan;
    info.bmiHeader.biHeight = -height; // negative: top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    section = CreateDIBSection((HDC)mContext, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  }
  if (section && bits) {
    mSection = section;
    mPrevious = SelectObject((HDC)mContext, section);
    mPixels = (LICE_PixelWord*)bits;
  } else {
    if (section) DeleteObject(section);
    mWidth = mHeight = 0;
    mAllocatedSpan = mAllocatedHeight = 0;
  }
  return true;
}
