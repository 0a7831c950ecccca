#include "LICE_MemBitmap.h"

#include <climits>
#include <cstdint>
#include <cstdlib>

namespace {
// The block must stay addressable with int byte counts, including the 63
// alignment bytes and the growth headroom.
const long long kMaxBlockBytes = (long long)INT_MAX - 64;
} // namespace

LICE_MemBitmap::LICE_MemBitmap(int width, int height) {
  if (width != 0 || height != 0) Resize(width, height);
}

LICE_MemBitmap::~LICE_MemBitmap() {
  free(mBuffer);
}

LICE_PixelWord* LICE_MemBitmap::Pixels() {
  if (!mBuffer) return nullptr;
  return (LICE_PixelWord*)(((uintptr_t)mBuffer + 63) & ~(uintptr_t)63);
}

bool LICE_MemBitmap::Resize(int width, int height) {
  if (width == mWidth && height == mHeight) return false;
  mWidth = width;
  mHeight = height;

  // 64-bit so that absurd sizes are refused instead of wrapping around.
  long long needed = 0;
  if (width >= 1 && height >= 1) {
    long long span = ((long long)width + mAlignMask) & ~(long long)mAlignMask;
    needed = span > kMaxBlockBytes / 4 / height ? kMaxBlockBytes + 1 : span * height * 4;
  }

  if (needed > 0 && needed <= kMaxBlockBytes) {
    if (!mBuffer) {
      mAllocated = (int)needed;
      mBuffer = (unsigned char*)malloc((size_t)needed + 63);
    } else if (mAllocated < needed) {
      long long grown = needed + needed / 4;
      if (grown > kMaxBlockBytes) grown = kMaxBlockBytes;
      unsigned char* moved = (unsigned char*)realloc(mBuffer, (size_t)grown + 63);
      if (moved) {
        mBuffer = moved;
        mAllocated = (int)grown;
      } else {
        // Without headroom the exact size may still fit.
        free(mBuffer);
        mAllocated = (int)needed;
        mBuffer = (unsigned char*)malloc((size_t)needed + 63);
      }
    }
    if (!mBuffer) mAllocated = 0;
  } else {
    free(mBuffer);
    mBuffer = nullptr;
    mAllocated = 0;
  }

  if (!mBuffer) {
    mWidth = 0;
    mHeight = 0;
  }
  return true;
}
