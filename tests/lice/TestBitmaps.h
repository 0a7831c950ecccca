#pragma once

#include "LICE_IBitmap.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A bitmap in the middle of a larger block: guard rows above and below and
// padding columns past Width, all holding a canary, so a write outside the
// image is seen. It may also report itself bottom-up.
class GuardedBitmap : public LICE_IBitmap {
public:
  static constexpr LICE_PixelWord kCanary = 0xDEADBEEF;
  static constexpr int kGuardRows = 2;

  GuardedBitmap(int width, int height, int span, bool bottomUp = false)
      : mWidth(width), mHeight(height), mSpan(span), mBottomUp(bottomUp),
        mWords((size_t)span * (height + 2 * kGuardRows), kCanary) {
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        At(x, y) = 0;
  }

  LICE_PixelWord* Pixels() override { return mWords.data() + (size_t)kGuardRows * mSpan; }
  int Width() const override { return mWidth; }
  int Height() const override { return mHeight; }
  int RowSpan() const override { return mSpan; }
  bool IsBottomUp() const override { return mBottomUp; }
  bool Resize(int, int) override { return false; }

  // Pixel (x, y) of the image, wherever its row is stored.
  LICE_PixelWord& At(int x, int y) {
    int stored = mBottomUp ? mHeight - 1 - y : y;
    return mWords[(size_t)(kGuardRows + stored) * mSpan + x];
  }

  bool GuardsIntact() const {
    for (size_t k = 0; k < mWords.size(); ++k) {
      size_t row = k / mSpan, col = k % mSpan;
      bool image =
          row >= (size_t)kGuardRows && row < (size_t)(kGuardRows + mHeight) && col < (size_t)mWidth;
      if (!image && mWords[k] != kCanary) return false;
    }
    return true;
  }

private:
  int mWidth, mHeight, mSpan;
  bool mBottomUp;
  std::vector<LICE_PixelWord> mWords;
};

// Small deterministic generator for test data.
class TestRandom {
public:
  explicit TestRandom(uint32_t seed) : mState(seed ? seed : 1) {}
  uint32_t Next() {
    mState ^= mState << 13;
    mState ^= mState >> 17;
    mState ^= mState << 5;
    return mState;
  }
  int Range(int lo, int hi) { return lo + (int)(Next() % (uint32_t)(hi - lo + 1)); }

private:
  uint32_t mState;
};
