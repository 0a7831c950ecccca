#include "LICE_Composite.h"
#include "LICE_MemBitmap.h"
#include "TestBitmaps.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

const LICE_PixelWord kDest = LICE_MakePixel(160, 80, 40, 255); // B 40, G 80, R 160, A 255
const LICE_PixelWord kColour = LICE_MakePixel(50, 100, 200, 128);

LICE_PixelWord FillOne(LICE_PixelWord dest, LICE_PixelWord colour, float opacity, int mode) {
  LICE_MemBitmap b(1, 1);
  b.Pixels()[0] = dest;
  LICE_FillArea(&b, 0, 0, 1, 1, colour, opacity, mode);
  return b.Pixels()[0];
}

TEST(FillArea, CopyFastPathsByHand) {
  EXPECT_EQ(FillOne(kDest, kColour, 1.0f, LICE_COMPOSE_COPY), kColour);
  // (d >> 1) + (c >> 1): B 20 + 100, G 40 + 50, R 80 + 25, A 127 + 64
  EXPECT_EQ(FillOne(kDest, kColour, 0.5f, LICE_COMPOSE_COPY), LICE_MakePixel(105, 90, 120, 191));
  // (d >> 1) + (d >> 2) + (c >> 2): B 20 + 10 + 50, R 80 + 40 + 12, A 127 + 63 + 32
  EXPECT_EQ(FillOne(kDest, kColour, 0.25f, LICE_COMPOSE_COPY), LICE_MakePixel(132, 85, 80, 222));
  // (c >> 1) + (c >> 2) + (d >> 2): B 100 + 50 + 10, R 25 + 12 + 40, A 64 + 32 + 63
  EXPECT_EQ(FillOne(kDest, kColour, 0.75f, LICE_COMPOSE_COPY), LICE_MakePixel(77, 95, 160, 159));
}

TEST(FillArea, GeneralPathsByHand) {
  // i = 76. Copy: B = 200 + (40 - 200) * 180 / 256 = 88; alpha moves toward i:
  // 76 + (255 - 76) * 180 / 256 = 201.
  EXPECT_EQ(FillOne(kDest, kColour, 0.3f, LICE_COMPOSE_COPY), LICE_MakePixel(127, 86, 88, 201));
  // Add: B = 40 + 200 * 76 / 256 = 99; alpha source is i: 255 + 76 * 76 / 256 -> 255.
  EXPECT_EQ(FillOne(kDest, kColour, 0.3f, LICE_COMPOSE_ADD), LICE_MakePixel(174, 109, 99, 255));
  // Dodge: t = 200 * 76 / 256 = 59, B = 40 * 256 / 197 = 51.
  EXPECT_EQ(FillOne(kDest, kColour, 0.3f, LICE_COMPOSE_DODGE), LICE_MakePixel(169, 90, 51, 255));
  // Multiply: B = 40 * (76 * 200 + 180 * 256) >> 16 = 37; A = 255 * (180 * 256 + 76 * 76) >> 16 =
  // 201.
  EXPECT_EQ(FillOne(kDest, kColour, 0.3f, LICE_COMPOSE_MULTIPLY), LICE_MakePixel(121, 65, 37, 201));
}

TEST(FillArea, SourceAlphaScalesOpacityByColourAlpha) {
  // Alpha 128 at opacity 1: i = 128 * 256 / 255 -> 128, the halving path.
  EXPECT_EQ(FillOne(kDest, kColour, 1.0f, LICE_COMPOSE_COPY | LICE_COMPOSE_SRCALPHA),
            FillOne(kDest, kColour, 0.5f, LICE_COMPOSE_COPY));
  // Alpha 0 draws nothing.
  EXPECT_EQ(FillOne(kDest, kColour & 0x00FFFFFF, 1.0f, LICE_COMPOSE_COPY | LICE_COMPOSE_SRCALPHA),
            kDest);
  // Opaque colour: a plain store.
  EXPECT_EQ(FillOne(kDest, 0xFF010203, 1.0f, LICE_COMPOSE_COPY | LICE_COMPOSE_SRCALPHA),
            0xFF010203u);
}

TEST(FillArea, ZeroOrTinyOpacityDrawsNothing) {
  for (int mode : {LICE_COMPOSE_COPY, LICE_COMPOSE_ADD, LICE_COMPOSE_MULTIPLY})
    for (float opacity : {0.0f, 0.002f})
      EXPECT_EQ(FillOne(kDest, kColour, opacity, mode), kDest) << mode << " " << opacity;
}

// The word-wide shortcuts must agree with the per-channel rule they replace:
// each colour channel lies between the general results one step either side,
// give or take the truncation of the shifted terms (one per term after the first).
TEST(FillArea, FastPathsAgreeWithTheGeneralPath) {
  TestRandom rnd(99);
  for (int step : {64, 128, 192}) {
    for (int n = 0; n < 2000; ++n) {
      LICE_PixelWord d = rnd.Next(), c = rnd.Next();
      LICE_PixelWord fast = FillOne(d, c, step / 256.0f, LICE_COMPOSE_COPY);
      LICE_PixelWord below = FillOne(d, c, (step - 1) / 256.0f, LICE_COMPOSE_COPY);
      LICE_PixelWord above = FillOne(d, c, (step + 1) / 256.0f, LICE_COMPOSE_COPY);
      for (int shift : {0, 8, 16}) {
        int f = (int)(fast >> shift & 0xFF), lo = (int)(below >> shift & 0xFF),
            hi = (int)(above >> shift & 0xFF);
        if (lo > hi) std::swap(lo, hi);
        const int slack = step == 128 ? 1 : 2;
        ASSERT_GE(f, lo - slack) << std::hex << d << " " << c << " step " << std::dec << step;
        ASSERT_LE(f, hi + slack) << std::hex << d << " " << c << " step " << std::dec << step;
      }
    }
  }
}

TEST(FillArea, ClipsToTheBitmap) {
  struct Case {
    int x, y, w, h;
  } cases[] = {{-3, -2, 5, 4},
               {4, 3, 100, 100},
               {-100, -100, 50, 50},
               {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
               {INT_MAX, 0, INT_MAX, 3},
               {2, 2, INT_MAX, INT_MAX},
               {0, 0, -5, 3},
               {1, 1, 0, 0},
               {-1, -1, 3, 3},
               {INT_MIN, 2, -1, 1}};
  for (const Case& c : cases) {
    for (float opacity : {1.0f, 0.5f, 0.3f}) {
      GuardedBitmap b(6, 5, 8, c.x == -1);
      LICE_FillArea(&b, c.x, c.y, c.w, c.h, 0xFF112233, opacity, LICE_COMPOSE_COPY);
      ASSERT_TRUE(b.GuardsIntact()) << c.x << "," << c.y << "," << c.w << "," << c.h;
      for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x) {
          bool inside = (long long)x >= c.x && (long long)x < (long long)c.x + c.w &&
                        (long long)y >= c.y && (long long)y < (long long)c.y + c.h;
          EXPECT_EQ(b.At(x, y) != 0, inside)
              << c.x << "," << c.y << "," << c.w << "," << c.h << " at " << x << "," << y;
        }
    }
  }
  LICE_FillArea(nullptr, 0, 0, 1, 1, 0xFFFFFFFF);
  LICE_MemBitmap empty;
  LICE_FillArea(&empty, 0, 0, 1, 1, 0xFFFFFFFF);
}

} // namespace
