#include "IGraphicsStructs.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>

namespace {

TEST(IBoxRules, EmptyMeansAllFourFieldsZero) {
  EXPECT_TRUE(IBox().Empty());
  EXPECT_TRUE(IBox(0, 0, 0, 0).Empty());
  EXPECT_FALSE(IBox(5, 5, 5, 5).Empty()); // zero area elsewhere is not empty
  EXPECT_FALSE(IBox(0, 0, 0, 1).Empty());
  EXPECT_EQ(IBox(3, 4, 10, 20).W(), 7);
  EXPECT_EQ(IBox(3, 4, 10, 20).H(), 16);
}

TEST(IBoxRules, ContainsExcludesRightAndBottomAndEmptyBoxes) {
  const IBox box(10, 20, 30, 40);
  EXPECT_TRUE(box.Contains(10, 20));
  EXPECT_TRUE(box.Contains(29, 39));
  EXPECT_FALSE(box.Contains(30, 25));
  EXPECT_FALSE(box.Contains(15, 40));
  EXPECT_FALSE(box.Contains(9, 25));
  EXPECT_FALSE(IBox().Contains(0, 0));
  // A box of non-zero coordinates around the origin does contain it.
  EXPECT_TRUE(IBox(-1, -1, 1, 1).Contains(0, 0));
}

TEST(IBoxRules, OverlapIsInclusiveOnTheRightAndBottomOnly) {
  const IBox a(0, 0, 10, 10);
  EXPECT_TRUE(IBox::Overlaps(a, IBox(10, 0, 20, 10)));  // a.R == b.L
  EXPECT_FALSE(IBox::Overlaps(IBox(10, 0, 20, 10), a)); // a.L == b.R
  EXPECT_TRUE(IBox::Overlaps(a, IBox(0, 10, 10, 20)));
  EXPECT_FALSE(IBox::Overlaps(IBox(0, 10, 10, 20), a));
  EXPECT_FALSE(IBox::Overlaps(a, IBox(11, 0, 20, 10)));
}

TEST(IBoxRules, IntersectionAndUnion) {
  EXPECT_EQ(IBox::Intersection(IBox(0, 0, 10, 10), IBox(5, 2, 20, 8)), IBox(5, 2, 10, 8));
  EXPECT_EQ(IBox::Intersection(IBox(0, 0, 10, 10), IBox(20, 20, 30, 30)), IBox());
  EXPECT_EQ(IBox::Intersection(IBox(), IBox(0, 0, 10, 10)), IBox());
  // Touching on the right: a zero-width, non-empty result.
  EXPECT_EQ(IBox::Intersection(IBox(0, 0, 10, 10), IBox(10, 0, 20, 10)), IBox(10, 0, 10, 10));
  EXPECT_EQ(IBox::Union(IBox(), IBox(1, 2, 3, 4)), IBox(1, 2, 3, 4));
  EXPECT_EQ(IBox::Union(IBox(1, 2, 3, 4), IBox()), IBox(1, 2, 3, 4));
  EXPECT_EQ(IBox::Union(IBox(5, 6, 10, 12), IBox(1, 8, 7, 20)), IBox(1, 6, 10, 20));
}

TEST(SharedTypes, ColourPackingAndBlendTable) {
  const IArgb colour(0x80, 0x11, 0x22, 0x33);
  EXPECT_EQ(colour.ToPixel(), 0x80112233u);
  EXPECT_EQ(colour.ToWindowsColour(), 0x00332211u);
  const IBlend normal(IBlend::BlendNormal), replace(IBlend::BlendReplace), add(IBlend::BlendAdd),
      dodge(IBlend::BlendDodge), odd(-3);
  EXPECT_EQ(IBlend::ComposeMode(&normal), 0x10000);
  EXPECT_EQ(IBlend::ComposeMode(&replace), 0);
  EXPECT_EQ(IBlend::ComposeMode(&add), 0x10001);
  EXPECT_EQ(IBlend::ComposeMode(&dodge), 0x10002);
  EXPECT_EQ(IBlend::ComposeMode(&odd), 0x10000);
  EXPECT_EQ(IBlend::ComposeMode(nullptr), 0x10000);
  EXPECT_EQ(IBlend::Weight(nullptr), 1.0f);
}

TEST(SharedTypes, ImageFramesAndSaturatingTruncation) {
  const IImage knob(nullptr, 73, 4209, 61);
  EXPECT_EQ(knob.FrameWidth(), 73);
  EXPECT_EQ(knob.FrameHeight(), 69);
  const IImage strip(nullptr, 100, 7, 3, true);
  EXPECT_EQ(strip.FrameWidth(), 33);
  EXPECT_EQ(strip.FrameHeight(), 7);
  EXPECT_EQ(IImage(nullptr, 10, 10, 0).FrameHeight(), 10);
  EXPECT_EQ(SaturatingTrunc(-2.7), -2);
  EXPECT_EQ(SaturatingTrunc(1e300), INT_MAX);
  EXPECT_EQ(SaturatingTrunc(-1e300), INT_MIN);
  EXPECT_EQ(SaturatingTrunc(std::nan("")), INT_MIN);
}

} // namespace
