#pragma once

#include "LICE_IBitmap.h"

// The surface the editor composes into and the window is painted from. On
// Windows it is a top-down 32-bit DIB section selected into a memory drawing
// context, so system drawing (text) can render into its pixels; elsewhere it
// is the same pixel layout in plain memory with no drawing context. Rows hold
// a multiple of four pixels and the storage never shrinks.
class LICE_SysBitmap : public LICE_IBitmap {
public:
  explicit LICE_SysBitmap(int width = 0, int height = 0);
  ~LICE_SysBitmap() override;
  LICE_SysBitmap(const LICE_SysBitmap&) = delete;
  LICE_SysBitmap& operator=(const LICE_SysBitmap&) = delete;

  LICE_PixelWord* Pixels() override { return mPixels; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return mAllocatedSpan; }
  bool IsBottomUp() const override { return false; }
  bool Resize(int width, int height) override;
  // Windows: the memory DC (HDC). Elsewhere: none.
  void* DeviceContext() override { return mContext; }

private:
  int mWidth = 0;
  int mHeight = 0;
  void* mContext = nullptr;
  LICE_PixelWord* mPixels = nullptr;
  int mAllocatedSpan = 0;
  int mAllocatedHeight = 0;
  void* mSection = nullptr;
  void* mPrevious = nullptr;
};
