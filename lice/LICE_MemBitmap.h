#pragma once

#include "LICE_IBitmap.h"

// A bitmap in an owned heap block. Rows start on 64-byte boundaries and hold a
// multiple of four pixels; the block grows with headroom and never shrinks, so
// repeated resizes seldom reallocate.
class LICE_MemBitmap : public LICE_IBitmap {
public:
  explicit LICE_MemBitmap(int width = 0, int height = 0);
  ~LICE_MemBitmap() override;
  LICE_MemBitmap(const LICE_MemBitmap&) = delete;
  LICE_MemBitmap& operator=(const LICE_MemBitmap&) = delete;

  LICE_PixelWord* Pixels() override;
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return (mWidth + mAlignMask) & ~mAlignMask; }
  bool Resize(int width, int height) override;

  // Usable bytes in the block (its real size is 63 bytes more, for alignment).
  int AllocatedBytes() const { return mAllocated; }

private:
  unsigned char* mBuffer = nullptr;
  int mWidth = 0;
  int mHeight = 0;
  int mAllocated = 0;
  int mAlignMask = 3;
};
