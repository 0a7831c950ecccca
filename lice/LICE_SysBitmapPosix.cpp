// The system bitmap without a window system drawing context: the same
// top-down layout and growth rules as the Windows DIB section, in memory.
#include "LICE_SysBitmap.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

LICE_SysBitmap::LICE_SysBitmap(int width, int height) {
  Resize(width, height);
}

LICE_SysBitmap::~LICE_SysBitmap() {
  free(mSection);
}

bool LICE_SysBitmap::Resize(int width, int height) {
  if (width == mWidth && height == mHeight) return false;
  mWidth = width;
  mHeight = height;
  if (width >= 1 && height >= 1 && mAllocatedSpan >= width && mAllocatedHeight >= height && mPixels)
    return true; // the storage is reused, never shrunk

  long long span = ((long long)width + 3) & ~3LL;
  mAllocatedHeight = height;
  mAllocatedSpan = span > INT_MAX ? 0 : (int)span;
  free(mSection);
  mSection = nullptr;
  mPixels = nullptr;

  if (mAllocatedSpan < 1 || height < 1) {
    // Never report a size there are no pixels for.
    mWidth = mHeight = 0;
    mAllocatedSpan = mAllocatedHeight = 0;
    return false;
  }

  if (span <= ((long long)INT_MAX - 64) / 4 / height)
    mSection = calloc(1, (size_t)(span * height * 4) + 63);
  if (mSection) {
    mPixels = (LICE_PixelWord*)(((uintptr_t)mSection + 63) & ~(uintptr_t)63);
  } else {
    mWidth = mHeight = 0;
    mAllocatedSpan = mAllocatedHeight = 0;
  }
  return true;
}
