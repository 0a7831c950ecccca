#include "LICE_MemBitmap.h"
#include "LICE_SysBitmap.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

bool Aligned64(const void* p) {
  return ((uintptr_t)p & 63) == 0;
}

// Writes every pixel of every row (the sanitizer build sees any overrun).
void Touch(LICE_IBitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    memset(b.Pixels() + (size_t)y * b.RowSpan(), 0x5A, (size_t)b.RowSpan() * 4);
}

TEST(MemBitmap, StartsEmpty) {
  LICE_MemBitmap b;
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
  EXPECT_EQ(b.Pixels(), nullptr);
  EXPECT_EQ(b.AllocatedBytes(), 0);
  EXPECT_FALSE(b.IsBottomUp());
  EXPECT_EQ(b.DeviceContext(), nullptr);
  EXPECT_EQ(b.Extension(0x59555678, nullptr), 0);
}

TEST(MemBitmap, RowsAreAlignedAndPaddedToFourPixels) {
  for (int w : {1, 3, 4, 5, 73, 135}) {
    LICE_MemBitmap b(w, 3);
    EXPECT_EQ(b.RowSpan(), (w + 3) / 4 * 4) << w;
    EXPECT_TRUE(Aligned64(b.Pixels())) << w;
    EXPECT_EQ(b.AllocatedBytes(), b.RowSpan() * 3 * 4) << w;
    Touch(b);
  }
  EXPECT_EQ(LICE_MemBitmap(135, 1).RowSpan(), 136);
}

TEST(MemBitmap, GrowsWithHeadroomAndNeverShrinks) {
  LICE_MemBitmap b;
  EXPECT_TRUE(b.Resize(135, 10));
  EXPECT_EQ(b.AllocatedBytes(), 136 * 10 * 4);
  EXPECT_FALSE(b.Resize(135, 10)); // same size: nothing changes
  EXPECT_EQ(b.AllocatedBytes(), 5440);

  // Larger: needed 140 * 12 * 4 = 6720, plus a quarter = 8400.
  EXPECT_TRUE(b.Resize(140, 12));
  EXPECT_EQ(b.AllocatedBytes(), 8400);
  LICE_PixelWord* grown = b.Pixels();
  EXPECT_TRUE(Aligned64(grown));
  Touch(b);

  // Smaller, and larger again within the headroom: the same block.
  EXPECT_TRUE(b.Resize(20, 5));
  EXPECT_EQ(b.AllocatedBytes(), 8400);
  EXPECT_EQ(b.Pixels(), grown);
  EXPECT_TRUE(b.Resize(140, 15)); // 8400 bytes exactly
  EXPECT_EQ(b.AllocatedBytes(), 8400);
  EXPECT_EQ(b.Pixels(), grown);
  EXPECT_EQ(b.Width(), 140);
  EXPECT_EQ(b.Height(), 15);
  Touch(b);
}

TEST(MemBitmap, EmptySizesFreeTheBlock) {
  LICE_MemBitmap b(16, 16);
  EXPECT_TRUE(b.Resize(0, 5));
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
  EXPECT_EQ(b.Pixels(), nullptr);
  EXPECT_EQ(b.AllocatedBytes(), 0);

  EXPECT_TRUE(b.Resize(4, 4));
  EXPECT_TRUE(b.Resize(-3, 7));
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Pixels(), nullptr);
}

TEST(MemBitmap, AbsurdSizesAreRefusedWithoutOverflow) {
  LICE_MemBitmap b(8, 8);
  for (auto size : {std::make_pair(INT_MAX, INT_MAX), std::make_pair(1 << 20, 1 << 12),
                    std::make_pair(INT_MAX, 1), std::make_pair(INT_MIN, INT_MIN)}) {
    b.Resize(size.first, size.second);
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_EQ(b.Pixels(), nullptr);
    EXPECT_TRUE(b.Resize(3, 3)); // still usable afterwards
    EXPECT_NE(b.Pixels(), nullptr);
  }
}

TEST(SysBitmap, LayoutAndFreshPixels) {
  LICE_SysBitmap b(135, 20);
  ASSERT_NE(b.Pixels(), nullptr);
  EXPECT_EQ(b.Width(), 135);
  EXPECT_EQ(b.Height(), 20);
  EXPECT_EQ(b.RowSpan(), 136);
  EXPECT_FALSE(b.IsBottomUp());
  for (int k = 0; k < 136 * 20; ++k)
    ASSERT_EQ(b.Pixels()[k], 0u) << k;
#ifdef _WIN32
  EXPECT_NE(b.DeviceContext(), nullptr);
#else
  EXPECT_EQ(b.DeviceContext(), nullptr);
#endif
  Touch(b);
}

TEST(SysBitmap, ShrinkingKeepsTheSurface) {
  LICE_SysBitmap b(135, 662);
  LICE_PixelWord* pixels = b.Pixels();
  ASSERT_NE(pixels, nullptr);
  EXPECT_FALSE(b.Resize(135, 662));
  EXPECT_TRUE(b.Resize(40, 100));
  EXPECT_EQ(b.Pixels(), pixels);
  EXPECT_EQ(b.RowSpan(), 136);
  EXPECT_EQ(b.Width(), 40);
  EXPECT_EQ(b.Height(), 100);
  EXPECT_TRUE(b.Resize(136, 662)); // still fits
  EXPECT_EQ(b.Pixels(), pixels);

  EXPECT_TRUE(b.Resize(137, 10)); // wider than the surface: a new one
  ASSERT_NE(b.Pixels(), nullptr);
  EXPECT_EQ(b.RowSpan(), 140);
  EXPECT_EQ(b.Width(), 137);
  Touch(b);
}

TEST(SysBitmap, EmptyOrAbsurdSizesLeaveNoSurface) {
  LICE_SysBitmap b(10, 10);
  EXPECT_FALSE(b.Resize(0, 5));
  EXPECT_EQ(b.Pixels(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);

  // Too large to allocate: the size changed, but to 0 x 0.
  EXPECT_TRUE(b.Resize(INT_MAX - 100, INT_MAX - 100));
  EXPECT_EQ(b.Pixels(), nullptr);
  EXPECT_EQ(b.Width(), 0);
  EXPECT_EQ(b.Height(), 0);
  // A width whose row span does not even fit an int.
  b.Resize(INT_MAX, 3);
  EXPECT_EQ(b.Pixels(), nullptr);
  EXPECT_EQ(b.Width(), 0);

  EXPECT_TRUE(b.Resize(5, 5));
  ASSERT_NE(b.Pixels(), nullptr);
  EXPECT_EQ(b.RowSpan(), 8);
  Touch(b);
}

} // namespace
