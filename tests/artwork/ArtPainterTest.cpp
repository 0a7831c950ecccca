// The artwork's drawing primitives: coverage, straight-alpha blending,
// clipping, lettering, noise and strip assembly.
#include "ArtPainter.h"
#include "ArtLettering.h"
#include "ArtNoise.h"
#include "ArtStrip.h"
#include "LICE_Composite.h"
#include "LICE_MemBitmap.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

LICE_PixelWord At(LICE_IBitmap* b, int x, int y) {
  return b->Pixels()[(long long)b->RowSpan() * y + x];
}

void Clear(LICE_IBitmap* b, LICE_PixelWord colour) {
  LICE_FillArea(b, 0, 0, b->Width(), b->Height(), colour);
}

const ArtColour kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// Pixels whose word differs from background, and their bounding box.
int Changed(LICE_IBitmap* b, LICE_PixelWord background, int& left, int& top, int& right,
            int& bottom) {
  int n = 0;
  left = top = 1 << 30;
  right = bottom = -1;
  for (int y = 0; y < b->Height(); ++y) {
    for (int x = 0; x < b->Width(); ++x) {
      if (At(b, x, y) == background) continue;
      ++n;
      left = std::min(left, x), right = std::max(right, x);
      top = std::min(top, y), bottom = std::max(bottom, y);
    }
  }
  return n;
}

} // namespace

TEST(ArtPainter, CircleCoverageAddsUpToItsAreaWithSoftEdges) {
  LICE_MemBitmap b(40, 40);
  Clear(&b, 0);
  ArtPainter painter(&b);
  ArtCircle circle{20.3f, 19.6f, 10.0f};
  painter.FillSolid(circle.Bounds(), circle, kWhite);
  double area = 0.0;
  int partial = 0;
  for (int y = 0; y < 40; ++y) {
    for (int x = 0; x < 40; ++x) {
      const int a = LICE_PixelAlpha(At(&b, x, y));
      area += a / 255.0;
      if (a > 0 && a < 255) ++partial;
      // Colour stays white wherever anything was drawn: straight alpha.
      if (a > 0) {
        EXPECT_EQ(At(&b, x, y) & 0xFFFFFF, 0xFFFFFFu);
      }
    }
  }
  EXPECT_NEAR(area, 3.14159265 * 100.0, 3.14159265 * 100.0 * 0.005);
  // Antialiased: the rim is a ring of partly covered pixels, about its
  // circumference long.
  EXPECT_GT(partial, 50);
  EXPECT_LT(partial, 110);
  EXPECT_EQ(LICE_PixelAlpha(At(&b, 20, 20)), 255);
  EXPECT_EQ(LICE_PixelAlpha(At(&b, 5, 5)), 0);
}

TEST(ArtPainter, EdgeCoverageFollowsThePositionOfTheEdge) {
  // A straight edge at x = 5 + t covers pixel 5 by t.
  for (float t : {0.0f, 0.25f, 0.5f, 0.75f, 1.0f}) {
    LICE_MemBitmap b(10, 3);
    Clear(&b, 0);
    ArtPainter painter(&b);
    ArtRoundedRect rect{0.0f, 0.0f, 5.0f + t, 3.0f, 0.0f};
    painter.FillSolid(rect.Bounds(), rect, kWhite);
    EXPECT_NEAR(LICE_PixelAlpha(At(&b, 5, 1)), t * 255.0f, 4.0f) << t;
    EXPECT_EQ(LICE_PixelAlpha(At(&b, 4, 1)), 255);
    EXPECT_EQ(LICE_PixelAlpha(At(&b, 6, 1)), 0);
  }
}

TEST(ArtPainter, BlendsStraightAlphaOverOpaqueAndTransparentPixels) {
  LICE_MemBitmap b(2, 1);
  ArtPainter painter(&b);
  b.Pixels()[0] = LICE_MakePixel(0, 0, 0, 255);
  b.Pixels()[1] = 0;
  const ArtColour red{1.0f, 0.0f, 0.0f, 1.0f};
  painter.BlendPixel(0, 0, red, 0.5f);
  painter.BlendPixel(1, 0, red, 0.5f);
  // Over opaque black: half red, still opaque.
  EXPECT_NEAR(LICE_PixelRed(b.Pixels()[0]), 128, 1);
  EXPECT_EQ(LICE_PixelAlpha(b.Pixels()[0]), 255);
  // Over nothing: full red at half alpha, not a darkened red.
  EXPECT_EQ(LICE_PixelRed(b.Pixels()[1]), 255);
  EXPECT_NEAR(LICE_PixelAlpha(b.Pixels()[1]), 128, 1);
  // A second half layer over the half-transparent pixel: 75 % alpha.
  painter.BlendPixel(1, 0, ArtColour{0.0f, 0.0f, 1.0f, 1.0f}, 0.5f);
  EXPECT_NEAR(LICE_PixelAlpha(b.Pixels()[1]), 191, 1);
  EXPECT_NEAR(LICE_PixelRed(b.Pixels()[1]), 85, 1);   // 0.25 / 0.75
  EXPECT_NEAR(LICE_PixelBlue(b.Pixels()[1]), 170, 1); // 0.5 / 0.75
  // Painting atop keeps the outline: alpha stays, colour moves.
  const int alphaBefore = LICE_PixelAlpha(b.Pixels()[1]);
  painter.BlendPixelAtop(1, 0, ArtColour{0.0f, 1.0f, 0.0f, 1.0f}, 1.0f);
  EXPECT_EQ(LICE_PixelAlpha(b.Pixels()[1]), alphaBefore);
  EXPECT_EQ(b.Pixels()[1] & 0xFFFFFF, 0x00FF00u);
  LICE_MemBitmap empty(1, 1);
  empty.Pixels()[0] = 0;
  ArtPainter(&empty).BlendPixelAtop(0, 0, ArtColour{1.0f, 1.0f, 1.0f, 1.0f}, 1.0f);
  EXPECT_EQ(empty.Pixels()[0], 0u);
  // Zero opacity and zero alpha leave the pixel alone.
  const LICE_PixelWord before = b.Pixels()[0];
  painter.BlendPixel(0, 0, red, 0.0f);
  painter.BlendPixel(0, 0, ArtColour{1.0f, 1.0f, 1.0f, 0.0f}, 1.0f);
  EXPECT_EQ(b.Pixels()[0], before);
}

TEST(ArtPainter, DrawingOutsideOrWithAbsurdBoundsTouchesNothingOutside) {
  LICE_MemBitmap b(8, 8);
  Clear(&b, LICE_MakePixel(1, 2, 3, 255));
  ArtPainter painter(&b);
  ArtCircle far{1000.0f, -500.0f, 5.0f};
  painter.FillSolid(far.Bounds(), far, kWhite);
  painter.FillSolid(ArtBounds{-1e30f, -1e30f, 1e30f, 1e30f}, far, kWhite);
  painter.FillSoft(ArtBounds{NAN, 0.0f, 4.0f, 4.0f}, far, 2.0f,
                   [](float, float) { return kWhite; });
  painter.BlendPixel(-1, 0, kWhite, 1.0f);
  painter.BlendPixel(8, 0, kWhite, 1.0f);
  painter.BlendPixel(0, 8, kWhite, 1.0f);
  int l, t, r, bt;
  EXPECT_EQ(Changed(&b, LICE_MakePixel(1, 2, 3, 255), l, t, r, bt), 0);
  // Huge bounds around a shape inside still draw it, clipped.
  ArtCircle inside{4.0f, 4.0f, 2.0f};
  painter.FillSolid(ArtBounds{-1e30f, -1e30f, 1e30f, 1e30f}, inside, kWhite);
  EXPECT_EQ(At(&b, 4, 4), 0xFFFFFFFFu);
  // A painter without a bitmap does nothing, safely.
  ArtPainter none(nullptr);
  none.FillSolid(inside.Bounds(), inside, kWhite);
  none.BlendPixel(0, 0, kWhite, 1.0f);
  EXPECT_EQ(none.Pixel(0, 0).a, 0.0f);
}

TEST(ArtShapes, DistancesAreSignedAndNeverOverstated) {
  ArtCapsule c{0.0f, 0.0f, 10.0f, 0.0f, 1.0f};
  EXPECT_NEAR(c(5.0f, 0.0f), -1.0f, 1e-5f);
  EXPECT_NEAR(c(5.0f, 3.0f), 2.0f, 1e-5f);
  EXPECT_NEAR(c(13.0f, 4.0f), 4.0f, 1e-5f); // round end
  // A quarter arc from right (0) to down (90 degrees, y grows downwards).
  ArtArc arc{0.0f, 0.0f, 10.0f, 0.0f, ArtRadians(90.0f), 0.5f};
  EXPECT_NEAR(arc(0.0f, 10.0f), -0.5f, 1e-4f);
  EXPECT_NEAR(arc(7.0710678f, 7.0710678f), -0.5f, 1e-4f);
  EXPECT_NEAR(arc(0.0f, -10.0f), std::hypot(10.0f, 10.0f) - 0.5f, 1e-3f); // not on the arc
  ArtRoundedRect r{0.0f, 0.0f, 10.0f, 10.0f, 3.0f};
  EXPECT_LT(r(5.0f, 5.0f), 0.0f);
  EXPECT_GT(r(0.2f, 0.2f), 0.0f); // the corner is cut away
  ArtConvexPolygon tri{{0.0f, 10.0f, 0.0f}, {0.0f, 0.0f, 10.0f}, 3};
  EXPECT_LT(tri(2.0f, 2.0f), 0.0f);
  EXPECT_NEAR(tri(-3.0f, 5.0f), 3.0f, 1e-4f);
  EXPECT_GT(tri(8.0f, 8.0f), 0.0f);
  // Lipschitz: moving by d never changes the distance by more than d.
  for (float x = -15.0f; x < 15.0f; x += 0.37f) {
    for (float y = -15.0f; y < 15.0f; y += 0.41f) {
      EXPECT_LE(std::fabs(arc(x + 0.1f, y) - arc(x, y)), 0.1001f);
      EXPECT_LE(std::fabs(tri(x, y + 0.1f) - tri(x, y)), 0.1001f);
      EXPECT_LE(std::fabs(r(x + 0.1f, y) - r(x, y)), 0.1001f);
    }
  }
}

TEST(ArtLettering, InkStaysWithinTheMeasuredBoxForEveryAlignment) {
  ArtLettering font(7.0f, 1.2f, 1.0f);
  const float width = font.Measure("OUTPUT");
  EXPECT_GT(width, font.Measure("INPUT"));
  EXPECT_EQ(font.Measure(""), 0.0f);
  EXPECT_EQ(font.Measure(nullptr), 0.0f);
  const ArtAlign aligns[] = {ArtAlign::Left, ArtAlign::Centre, ArtAlign::Right};
  const float xs[] = {10.0f, 50.0f, 90.0f};
  for (int i = 0; i < 3; ++i) {
    LICE_MemBitmap b(100, 20);
    Clear(&b, 0);
    ArtPainter painter(&b);
    font.Draw(painter, "OUTPUT", xs[i], 6.0f, aligns[i], kWhite);
    int l, t, r, bt;
    ASSERT_GT(Changed(&b, 0, l, t, r, bt), 40);
    const float left = i == 0 ? xs[i] : (i == 1 ? xs[i] - width / 2 : xs[i] - width);
    EXPECT_NEAR(l, left, 1.5f) << i;
    EXPECT_NEAR(r + 1, left + width, 1.5f) << i;
    // Capital height plus the stroke's half width above and below.
    EXPECT_GE(t, 4);
    EXPECT_LE(bt, 14);
  }
}

TEST(ArtLettering, EveryLegendCharacterHasAGlyphAndUnknownOnesOnlyAdvance) {
  for (const char* legend :
       {"OUTPUT", "INPUT", "HF", "MF", "LF", "VU", "IN", "TOLVEN", "-24", "-12", "0",
        "+12",    "+24",   "20", "10", "7",  "5",  "3",  "2",      "1",   "+",   "-"})
    for (const char* p = legend; *p; ++p)
      EXPECT_TRUE(ArtLettering::HasGlyph(*p)) << *p;
  for (char c : {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'})
    EXPECT_TRUE(ArtLettering::HasGlyph(c));
  EXPECT_FALSE(ArtLettering::HasGlyph('~'));
  ArtLettering font(6.0f, 1.0f);
  EXPECT_FLOAT_EQ(font.Measure("A~B"), font.Measure("A B"));
  LICE_MemBitmap b(30, 12);
  Clear(&b, 0);
  ArtPainter painter(&b);
  font.Draw(painter, "~~", 2.0f, 3.0f, ArtAlign::Left, kWhite);
  int l, t, r, bt;
  EXPECT_EQ(Changed(&b, 0, l, t, r, bt), 0);
}

TEST(ArtNoise, IsRepeatableSeedDependentAndBounded) {
  ArtNoise a(7), b(7), c(8);
  int differ = 0;
  for (int i = 0; i < 500; ++i) {
    const float x = i * 0.731f, y = i * 1.913f;
    ASSERT_EQ(a.Brushed(x, y), b.Brushed(x, y));
    if (a.Brushed(x, y) != c.Brushed(x, y)) ++differ;
    EXPECT_LE(std::fabs(a.Value(x, y)), 1.0f);
    EXPECT_LE(std::fabs(a.Brushed(x, y)), 1.0f);
  }
  EXPECT_GT(differ, 450);
  // Brushed along y: neighbours down the grain agree far more than across it.
  double along = 0.0, across = 0.0;
  for (int i = 0; i < 400; ++i) {
    along += std::fabs(a.Brushed(10.0f + i, 50.0f) - a.Brushed(10.0f + i, 51.0f));
    across += std::fabs(a.Brushed(10.0f + i, 50.0f) - a.Brushed(11.0f + i, 50.0f));
  }
  EXPECT_LT(along * 2.5, across);
}

TEST(ArtStrip, StacksEachFrameInOrderAndExtractsItAgain) {
  std::vector<int> calls;
  std::unique_ptr<LICE_MemBitmap> strip(ArtStrip::Render(3, 2, 4, [&](LICE_IBitmap* f, int i) {
    calls.push_back(i);
    // The artist always gets a cleared frame of the frame size.
    EXPECT_EQ(f->Width(), 3);
    EXPECT_EQ(f->Height(), 2);
    EXPECT_EQ(At(f, 2, 1), 0u);
    f->Pixels()[0] = LICE_MakePixel(i * 10, 0, 0, 255);
  }));
  ASSERT_NE(strip, nullptr);
  EXPECT_EQ(calls, (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(strip->Width(), 3);
  EXPECT_EQ(strip->Height(), 8);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(LICE_PixelRed(At(strip.get(), 0, i * 2)), i * 10);
    EXPECT_EQ(At(strip.get(), 0, i * 2 + 1), 0u);
  }
  LICE_MemBitmap frame;
  ASSERT_TRUE(ArtStrip::ExtractFrame(strip.get(), 2, 3, &frame));
  EXPECT_EQ(frame.Height(), 2);
  EXPECT_EQ(LICE_PixelRed(At(&frame, 0, 0)), 30);
  EXPECT_FALSE(ArtStrip::ExtractFrame(strip.get(), 2, 4, &frame));
  EXPECT_FALSE(ArtStrip::ExtractFrame(strip.get(), 2, -1, &frame));
  EXPECT_FALSE(ArtStrip::ExtractFrame(strip.get(), 0, 0, &frame));
  EXPECT_EQ(ArtStrip::Render(0, 2, 4, [](LICE_IBitmap*, int) {}), nullptr);
  EXPECT_EQ(ArtStrip::Render(3, 2, 0, [](LICE_IBitmap*, int) {}), nullptr);
}
