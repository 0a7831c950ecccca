#include "LICE_Composite.h"
#include "LICE_MemBitmap.h"
#include "TestBitmaps.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

namespace {

// Four source/destination pairs, one per column: a half-transparent source
// over an opaque destination, a fully transparent source, an opaque source,
// and an almost transparent source over a transparent destination.
const LICE_PixelWord kSrc[4] = {LICE_MakePixel(50, 100, 200, 128), LICE_MakePixel(30, 20, 10, 0),
                                LICE_MakePixel(128, 5, 250, 255), LICE_MakePixel(255, 255, 0, 1)};
const LICE_PixelWord kDest[4] = {LICE_MakePixel(160, 80, 40, 255), LICE_MakePixel(30, 180, 90, 100),
                                 LICE_MakePixel(160, 80, 40, 255), LICE_MakePixel(254, 7, 100, 0)};

struct ModeCase {
  int mode;
  float opacity;
  LICE_PixelWord expected[4];
};

// Worked out from the blend rules with C integer division, e.g. for column 0
// (s = 200,100,50,128 / d = 40,80,160,255 as B,G,R,A):
//   copy 0.25 (i = 64):   B = 200 + (40 - 200) * 192 / 256 = 80, A = 128 + 127 * 192 / 256 = 223
//   copy 0.3 (i = 76):    B = 200 + (-160 * 180) / 256 = 88, R = 50 + 110 * 180 / 256 = 127
//   copy+alpha 1.0:       B = 200 + (-160 * 127) / 256 = 121, A = min(255 + 128, 255)
//   multiply 1.0:         B = 40 * (65536 + 256 * (200 - 256)) >> 16 = 31
//   add+alpha 0.5:        k = 128 * 129 / 256 = 64, B = 40 + 200 * 64 / 256 = 90
//   dodge 0.3:            t = 200 * 76 / 256 = 59, B = 40 * 256 / 197 = 51
const ModeCase kModeCases[] = {
    {LICE_COMPOSE_COPY, 1.0f, {0x803264C8, 0x001E140A, 0xFF8005FA, 0x01FFFF00}},
    {LICE_COMPOSE_COPY, 0.5f, {0xBF695A78, 0x321E6432, 0xFE902A91, 0x00FE8232}},
    {LICE_COMPOSE_COPY, 0.25f, {0xDF845550, 0x4B1E8C46, 0xFF983D5D, 0x01FF454B}},
    {LICE_COMPOSE_COPY, 0.3f, {0xD97F5658, 0x461E8442, 0xFF963967, 0x01FF5146}},
    {LICE_COMPOSE_COPY | LICE_COMPOSE_SRCALPHA,
     1.0f,
     {0xFF685B79, 0x641EB45A, 0xFF8005FA, 0x01FF0963}},
    {LICE_COMPOSE_COPY | LICE_COMPOSE_SRCALPHA,
     0.5f,
     {0xFF845550, 0x641EB45A, 0xFF902A91, 0x01FF0863}},
    {LICE_COMPOSE_COPY | LICE_COMPOSE_SRCALPHA,
     0.25f,
     {0xFF92533C, 0x641EB45A, 0xFF983D5D, 0x00FE0764}},
    {LICE_COMPOSE_COPY | LICE_COMPOSE_SRCALPHA,
     0.3f,
     {0xFF8F5340, 0x641EB45A, 0xFF963967, 0x00FE0764}},
    {LICE_COMPOSE_ADD, 1.0f, {0xFFD2B4F0, 0x643CC864, 0xFFFF55FF, 0x01FFFF64}},
    {LICE_COMPOSE_ADD, 0.5f, {0xFFB9828C, 0x642DBE5F, 0xFFE052A5, 0x00FF8664}},
    {LICE_COMPOSE_ADD, 0.25f, {0xFFAC695A, 0x6425B95C, 0xFFC05166, 0x00FF4664}},
    {LICE_COMPOSE_ADD, 0.3f, {0xFFAE6D63, 0x6426B95C, 0xFFC65172, 0x00FF5264}},
    {LICE_COMPOSE_ADD | LICE_COMPOSE_SRCALPHA,
     1.0f,
     {0xFFB9828C, 0x641EB45A, 0xFFFF55FF, 0x00FF0864}},
    {LICE_COMPOSE_ADD | LICE_COMPOSE_SRCALPHA,
     0.5f,
     {0xFFAC695A, 0x641EB45A, 0xFFE052A5, 0x00FE0764}},
    {LICE_COMPOSE_ADD | LICE_COMPOSE_SRCALPHA,
     0.25f,
     {0xFFA65C41, 0x641EB45A, 0xFFC05166, 0x00FE0764}},
    {LICE_COMPOSE_ADD | LICE_COMPOSE_SRCALPHA,
     0.3f,
     {0xFFA75E45, 0x641EB45A, 0xFFC65172, 0x00FE0764}},
    {LICE_COMPOSE_DODGE, 1.0f, {0xFFC683B6, 0x6421C35D, 0xFFFF51FF, 0x00FFFF64}},
    {LICE_COMPOSE_DODGE, 0.5f, {0xFFB16341, 0x641FBB5B, 0xFFD5504E, 0x00FF0D64}},
    {LICE_COMPOSE_DODGE, 0.25f, {0xFFA75831, 0x641EB75A, 0xFFB65034, 0x00FF0964}},
    {LICE_COMPOSE_DODGE, 0.3f, {0xFFA95A33, 0x641EB75A, 0xFFBB5038, 0x00FF0964}},
    {LICE_COMPOSE_DODGE | LICE_COMPOSE_SRCALPHA,
     1.0f,
     {0xFFB16341, 0x641EB45A, 0xFFFF51FF, 0x00FE0764}},
    {LICE_COMPOSE_DODGE | LICE_COMPOSE_SRCALPHA,
     0.5f,
     {0xFFA75831, 0x641EB45A, 0xFFD5504E, 0x00FE0764}},
    {LICE_COMPOSE_DODGE | LICE_COMPOSE_SRCALPHA,
     0.25f,
     {0xFFA3532C, 0x641EB45A, 0xFFB65034, 0x00FE0764}},
    {LICE_COMPOSE_DODGE | LICE_COMPOSE_SRCALPHA,
     0.3f,
     {0xFFA4542D, 0x641EB45A, 0xFFBB5038, 0x00FE0764}},
    {LICE_COMPOSE_MULTIPLY, 1.0f, {0x7F1F1F1F, 0x00030E03, 0xFE500127, 0x00FD0600}},
    {LICE_COMPOSE_MULTIPLY, 0.5f, {0xBF5F3723, 0x3210612E, 0xFE782827, 0x00FD0632}},
    {LICE_COMPOSE_MULTIPLY, 0.25f, {0xDF7F4325, 0x4B178A44, 0xFE8C3C27, 0x00FD064B}},
    {LICE_COMPOSE_MULTIPLY, 0.3f, {0xD9794125, 0x46168240, 0xFE883827, 0x00FD0646}},
    {LICE_COMPOSE_MULTIPLY | LICE_COMPOSE_SRCALPHA,
     1.0f,
     {0xBE5F3723, 0x641EB45A, 0xFE500127, 0x00FD0663}},
    {LICE_COMPOSE_MULTIPLY | LICE_COMPOSE_SRCALPHA,
     0.5f,
     {0xDF7F4325, 0x641EB45A, 0xFE782827, 0x00FD0663}},
    {LICE_COMPOSE_MULTIPLY | LICE_COMPOSE_SRCALPHA,
     0.25f,
     {0xEF8F4926, 0x641EB45A, 0xFE8C3C27, 0x00FE0764}},
    {LICE_COMPOSE_MULTIPLY | LICE_COMPOSE_SRCALPHA,
     0.3f,
     {0xEC8C4826, 0x641EB45A, 0xFE883827, 0x00FE0764}},
};

// Runs one mode over the four pairs; returns the destination row.
void ComposeRow(int mode, float opacity, LICE_PixelWord out[4]) {
  LICE_MemBitmap src(4, 1), dest(4, 1);
  for (int x = 0; x < 4; ++x) {
    src.Pixels()[x] = kSrc[x];
    dest.Pixels()[x] = kDest[x];
  }
  LICE_Composite(&dest, &src, 0, 0, nullptr, opacity, mode);
  for (int x = 0; x < 4; ++x)
    out[x] = dest.Pixels()[x];
}

TEST(Composite, EveryModeAtEveryOpacityWithAndWithoutSourceAlpha) {
  for (const ModeCase& c : kModeCases) {
    LICE_PixelWord out[4];
    ComposeRow(c.mode, c.opacity, out);
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(out[x], c.expected[x])
          << "mode 0x" << std::hex << c.mode << " opacity " << c.opacity << " column " << x;
  }
}

TEST(Composite, SourceAlphaAtFullOpacityEdgeCases) {
  GuardedBitmap src(3, 1, 4), dest(3, 1, 4);
  src.At(0, 0) = LICE_MakePixel(1, 2, 3, 0);     // alpha 0: destination unchanged
  src.At(1, 0) = LICE_MakePixel(9, 8, 7, 255);   // alpha 255: exact replacement
  src.At(2, 0) = LICE_MakePixel(255, 0, 0, 128); // alpha 128 over opaque: alpha stays 255
  for (int x = 0; x < 3; ++x)
    dest.At(x, 0) = LICE_MakePixel(10, 20, 30, 255);
  LICE_Composite(&dest, &src, 0, 0, nullptr, 1.0f, LICE_COMPOSE_COPY | LICE_COMPOSE_SRCALPHA);
  EXPECT_EQ(dest.At(0, 0), LICE_MakePixel(10, 20, 30, 255));
  EXPECT_EQ(dest.At(1, 0), LICE_MakePixel(9, 8, 7, 255));
  // R = 255 + (10 - 255) * 127 / 256 = 255 - 121; G = 20 * 127 / 256; B = 30 * 127 / 256
  EXPECT_EQ(dest.At(2, 0), LICE_MakePixel(134, 9, 14, 255));
  EXPECT_TRUE(dest.GuardsIntact());
}

TEST(Composite, ZeroOrTinyOpacityDrawsNothing) {
  const int modes[] = {LICE_COMPOSE_COPY,
                       LICE_COMPOSE_ADD,
                       LICE_COMPOSE_DODGE,
                       LICE_COMPOSE_MULTIPLY,
                       LICE_COMPOSE_COPY | LICE_COMPOSE_SRCALPHA,
                       LICE_COMPOSE_ADD | LICE_COMPOSE_SRCALPHA};
  for (int mode : modes) {
    for (float opacity : {0.0f, 0.003f, 1.0f / 257.0f, -0.5f}) {
      LICE_PixelWord out[4];
      ComposeRow(mode, opacity, out);
      for (int x = 0; x < 4; ++x)
        EXPECT_EQ(out[x], kDest[x]) << mode << " " << opacity;
    }
  }
}

// A source whose pixel (x, y) holds 0x01000000 | y << 8 | x, so every result
// names where it was read from.
void FillNumbered(LICE_IBitmap& b) {
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      b.Pixels()[y * b.RowSpan() + x] = 0x01000000u | (LICE_PixelWord)(y << 8 | x);
}

TEST(Composite, NegativeDestinationSkipsSourceColumnsAndRows) {
  LICE_MemBitmap src(6, 4);
  FillNumbered(src);
  GuardedBitmap dest(5, 5, 8);
  LICE_Composite(&dest, &src, -3, -1, nullptr, 1.0f, LICE_COMPOSE_COPY);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 5; ++x) {
      // Source (3, 1) lands at (0, 0); the region is 3 columns by 3 rows.
      LICE_PixelWord want =
          (x < 3 && y < 3) ? 0x01000000u | (LICE_PixelWord)((y + 1) << 8 | (x + 3)) : 0;
      EXPECT_EQ(dest.At(x, y), want) << x << "," << y;
    }
  EXPECT_TRUE(dest.GuardsIntact());
}

TEST(Composite, NegativeSourceRectMovesTheDestination) {
  LICE_MemBitmap src(6, 4);
  FillNumbered(src);
  GuardedBitmap dest(6, 6, 8);
  LICE_Rect r = {-2, -1, 3, 2};
  LICE_Composite(&dest, &src, 1, 1, &r, 1.0f, LICE_COMPOSE_COPY);
  // Reading starts at source (0, 0) and lands at (1 + 2, 1 + 1); columns 0..2
  // and rows 0..1 of the source are copied.
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 6; ++x) {
      bool inside = x >= 3 && x < 6 && y >= 2 && y < 4;
      LICE_PixelWord want = inside ? 0x01000000u | (LICE_PixelWord)((y - 2) << 8 | (x - 3)) : 0;
      EXPECT_EQ(dest.At(x, y), want) << x << "," << y;
    }
  EXPECT_TRUE(dest.GuardsIntact());
}

TEST(Composite, ChannelCopyMovesOneChannelOnly) {
  LICE_MemBitmap src(1, 1), dest(1, 1);
  src.Pixels()[0] = LICE_MakePixel(0x11, 0x22, 0x33, 0x44);
  dest.Pixels()[0] = LICE_MakePixel(0xA0, 0xB0, 0xC0, 0xD0);
  LICE_Composite(&dest, &src, 0, 0, nullptr, 0.25f,
                 LICE_ChannelCopyMode(LICE_CHANNEL_ALPHA, LICE_CHANNEL_RED));
  EXPECT_EQ(dest.Pixels()[0], LICE_MakePixel(0xA0, 0xB0, 0xC0, 0x11));
  LICE_Composite(&dest, &src, 0, 0, nullptr, 1.0f,
                 LICE_ChannelCopyMode(LICE_CHANNEL_BLUE, LICE_CHANNEL_GREEN) |
                     LICE_COMPOSE_SRCALPHA);
  EXPECT_EQ(dest.Pixels()[0], LICE_MakePixel(0xA0, 0xB0, 0x22, 0x11));
}

TEST(Composite, UnknownOperationsDrawNothing) {
  for (int mode : {6, 0x42, 0xEF, 0x10006}) {
    LICE_PixelWord out[4];
    ComposeRow(mode, 1.0f, out);
    for (int x = 0; x < 4; ++x)
      EXPECT_EQ(out[x], kDest[x]) << mode;
  }
}

TEST(Composite, OverlayDarkensShadowsAndLightensHighlights) {
  LICE_PixelWord out[4];
  ComposeRow(LICE_COMPOSE_OVERLAY, 1.0f, out);
  // B: 40 < 128, 2 * 40 * 200 / 255 = 62; G: 2 * 80 * 100 / 255 = 62;
  // R: 255 - 2 * 95 * 205 / 255 = 103; A: 255 - 2 * 0 * 127 / 255 = 255.
  EXPECT_EQ(out[0], LICE_MakePixel(103, 62, 62, 255));
  ComposeRow(LICE_COMPOSE_OVERLAY, 0.5f, out);
  // Half way: B = 40 + (62 - 40) * 128 / 256 = 51, R = 160 + (103 - 160) * 128 / 256 = 132.
  EXPECT_EQ(out[0], LICE_MakePixel(132, 71, 51, 255));
  ComposeRow(LICE_COMPOSE_OVERLAY | LICE_COMPOSE_SRCALPHA, 1.0f, out);
  EXPECT_EQ(out[1], kDest[1]); // transparent source leaves the pixel
}

LICE_PixelWord HsvAdjusted(LICE_PixelWord dest, LICE_PixelWord adjust, float opacity = 1.0f,
                           int flags = 0) {
  LICE_MemBitmap s(1, 1), d(1, 1);
  s.Pixels()[0] = adjust;
  d.Pixels()[0] = dest;
  LICE_Composite(&d, &s, 0, 0, nullptr, opacity, LICE_COMPOSE_HSVADJUST | flags);
  return d.Pixels()[0];
}

TEST(Composite, HsvAdjustTurnsHueAndScalesSaturationAndValue) {
  // Neutral adjustment (no turn, x1, x1) keeps colours within rounding.
  TestRandom rnd(7);
  for (int n = 0; n < 500; ++n) {
    LICE_PixelWord c = rnd.Next();
    LICE_PixelWord out = HsvAdjusted(c, LICE_MakePixel(0, 128, 128, 255));
    EXPECT_EQ(LICE_PixelAlpha(out), LICE_PixelAlpha(c));
    EXPECT_NEAR(LICE_PixelRed(out), LICE_PixelRed(c), 2) << std::hex << c;
    EXPECT_NEAR(LICE_PixelGreen(out), LICE_PixelGreen(c), 2) << std::hex << c;
    EXPECT_NEAR(LICE_PixelBlue(out), LICE_PixelBlue(c), 2) << std::hex << c;
  }
  // A third of a turn (85 * 6 = 510 of 1536) takes pure red to (almost) green:
  // sector 1, f = 254, red = 255 * (255 - 255 * 254 / 256) / 255 = 2.
  EXPECT_EQ(HsvAdjusted(LICE_MakePixel(255, 0, 0, 200), LICE_MakePixel(85, 128, 128, 0)),
            LICE_MakePixel(2, 255, 0, 200));
  // Value x 64/128 halves a grey; saturation x 0 greys a colour at its value.
  EXPECT_EQ(HsvAdjusted(LICE_MakePixel(100, 100, 100, 255), LICE_MakePixel(0, 128, 64, 255)),
            LICE_MakePixel(50, 50, 50, 255));
  EXPECT_EQ(HsvAdjusted(LICE_MakePixel(200, 50, 10, 255), LICE_MakePixel(0, 0, 128, 255)),
            LICE_MakePixel(200, 200, 200, 255));
  // With the source-alpha flag a transparent adjustment does nothing.
  EXPECT_EQ(HsvAdjusted(LICE_MakePixel(200, 50, 10, 255), LICE_MakePixel(0, 0, 128, 0), 1.0f,
                        LICE_COMPOSE_SRCALPHA),
            LICE_MakePixel(200, 50, 10, 255));
}

TEST(Composite, BottomUpBitmapsAreAddressedByImageRow) {
  GuardedBitmap src(3, 3, 4, true), dest(3, 3, 4, true);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x)
      src.At(x, y) = 0x01000000u | (LICE_PixelWord)(y << 8 | x);
  LICE_Rect r = {1, 0, 3, 2};
  LICE_Composite(&dest, &src, 0, 1, &r, 1.0f, LICE_COMPOSE_COPY);
  EXPECT_EQ(dest.At(0, 0), 0u);
  EXPECT_EQ(dest.At(0, 1), 0x01000001u);
  EXPECT_EQ(dest.At(1, 1), 0x01000002u);
  EXPECT_EQ(dest.At(0, 2), 0x01000101u);
  EXPECT_EQ(dest.At(1, 2), 0x01000102u);
  EXPECT_EQ(dest.At(2, 2), 0u);
  EXPECT_TRUE(dest.GuardsIntact());
  EXPECT_TRUE(src.GuardsIntact());
}

TEST(Composite, MissingBitmapsOrPixelsAreANoOp) {
  LICE_MemBitmap empty, src(2, 2), dest(2, 2);
  FillNumbered(src);
  dest.Pixels()[0] = 7;
  LICE_Composite(nullptr, &src, 0, 0);
  LICE_Composite(&dest, nullptr, 0, 0);
  LICE_Composite(&dest, &empty, 0, 0);
  LICE_Composite(&empty, &src, 0, 0);
  EXPECT_EQ(dest.Pixels()[0], 7u);
}

// Reference placement: source column c lands at destX + c - left (left = 0
// without a rectangle), for c within [max(left, 0), min(right, width)).
LICE_PixelWord Expected(int x, int y, int destX, int destY, const LICE_Rect* r, int srcW,
                        int srcH) {
  long long left = r ? r->left : 0, top = r ? r->top : 0;
  long long right = r ? (r->right < srcW ? r->right : srcW) : srcW;
  long long bottom = r ? (r->bottom < srcH ? r->bottom : srcH) : srcH;
  long long c = (long long)x - destX + left, w = (long long)y - destY + top;
  if (c < 0 || c < left || c >= right || w < 0 || w < top || w >= bottom) return 0;
  return 0x01000000u | (LICE_PixelWord)(w << 8 | c);
}

TEST(Composite, AnyRectangleClipsToBothBitmaps) {
  const int extremes[] = {INT_MIN, INT_MIN + 1, -100000, -7,     -1,          0,      1,
                          2,       5,           9,       100000, INT_MAX - 1, INT_MAX};
  TestRandom rnd(1234);
  auto pick = [&]() {
    return (rnd.Next() & 1) ? extremes[rnd.Next() % (sizeof(extremes) / sizeof(extremes[0]))]
                            : rnd.Range(-12, 12);
  };
  for (int n = 0; n < 3000; ++n) {
    GuardedBitmap src(7, 5, 9, n % 3 == 0), dest(6, 4, 8, n % 5 == 0);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 7; ++x)
        src.At(x, y) = 0x01000000u | (LICE_PixelWord)(y << 8 | x);
    LICE_Rect r = {pick(), pick(), pick(), pick()};
    const bool useRect = n % 4 != 0;
    const int destX = pick(), destY = pick();
    const int mode = (n & 1) ? LICE_COMPOSE_COPY : LICE_COMPOSE_ADD;
    LICE_Composite(&dest, &src, destX, destY, useRect ? &r : nullptr, 1.0f, mode);
    ASSERT_TRUE(dest.GuardsIntact()) << n;
    ASSERT_TRUE(src.GuardsIntact()) << n;
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 6; ++x)
        ASSERT_EQ(dest.At(x, y), Expected(x, y, destX, destY, useRect ? &r : nullptr, 7, 5))
            << "case " << n << " at " << x << "," << y << " dest " << destX << "," << destY
            << " rect " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
  }
}

TEST(Composite, SameBitmapAsSourceAndDestination) {
  LICE_MemBitmap b(8, 2);
  FillNumbered(b);
  LICE_Rect r = {0, 0, 6, 1};
  LICE_Composite(&b, &b, 2, 0, &r, 1.0f, LICE_COMPOSE_COPY);
  for (int x = 2; x < 8; ++x)
    EXPECT_EQ(b.Pixels()[x], 0x01000000u | (LICE_PixelWord)(x - 2));
}

} // namespace
