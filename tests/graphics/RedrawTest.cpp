#include "GraphicsTestSupport.h"

#include <gtest/gtest.h>

namespace {

using Log = std::vector<std::string>;

struct RedrawBench {
  Log log;
  GraphicsTestPlug plug;
  ScriptedGraphics graphics{&plug, 200, 200};
  ProbeControl* Add(const char* name, const IBox& box) {
    auto* control = new ProbeControl(log, name, &plug, box);
    graphics.AddControl(control);
    return control;
  }
  void CleanAll() {
    for (int i = 0; i < graphics.NumControls(); ++i)
      graphics.GetControl(i)->MarkClean();
  }
};

TEST(Redraw, StrictDrawsEveryOverlappingVisibleControlInListOrder) {
  RedrawBench b;
  b.Add("a", IBox(0, 0, 200, 200));
  b.Add("b", IBox(10, 10, 50, 50));
  ProbeControl* hidden = b.Add("c", IBox(20, 20, 40, 40));
  b.Add("d", IBox(100, 100, 150, 150)); // outside the area
  b.Add("e", IBox(30, 30, 60, 60));
  b.Add("empty", IBox());
  hidden->SetHidden(true);
  EXPECT_TRUE(b.graphics.Redraw(IBox(15, 15, 45, 45)));
  EXPECT_EQ(b.log, (Log{"a draw", "b draw", "e draw"}));
  EXPECT_EQ(b.graphics.DrawArea(), IBox(15, 15, 45, 45));
  EXPECT_EQ(b.graphics.PresentCount(), 1);
  EXPECT_EQ(b.graphics.LastPresented(), IBox(15, 15, 45, 45));
  // Hidden or not, drawn or not, every control is cleaned; hiding asked for
  // one more frame, so the hidden one stays dirty until the next redraw.
  for (int i = 0; i < b.graphics.NumControls(); ++i)
    EXPECT_EQ(b.graphics.GetControl(i)->NeedsRedraw(), i == 2) << i;
  b.log.clear();
  b.graphics.Redraw(IBox(15, 15, 45, 45));
  EXPECT_EQ(b.log, (Log{"a draw", "b draw", "e draw"}));
  for (int i = 0; i < b.graphics.NumControls(); ++i)
    EXPECT_FALSE(b.graphics.GetControl(i)->NeedsRedraw()) << i;
}

TEST(Redraw, StrictOverlapTestIsInclusiveOnTheAreasRightAndBottom) {
  RedrawBench b;
  b.Add("touchesRight", IBox(40, 0, 60, 10));   // starts at the area's right edge
  b.Add("touchesLeft", IBox(0, 0, 10, 10));     // ends at the area's left edge
  b.Add("touchesBottom", IBox(12, 30, 20, 40)); // starts at the area's bottom edge
  b.graphics.Redraw(IBox(10, 0, 40, 30));
  EXPECT_EQ(b.log, (Log{"touchesRight draw", "touchesBottom draw"}));
}

TEST(Redraw, EmptyAreaDrawsNothingButCleansAndPresents) {
  RedrawBench b;
  b.Add("a", IBox(0, 0, 200, 200));
  b.graphics.Redraw(IBox());
  EXPECT_TRUE(b.log.empty());
  EXPECT_FALSE(b.graphics.GetControl(0)->NeedsRedraw());
  EXPECT_EQ(b.graphics.PresentCount(), 1);
}

TEST(Redraw, WithoutControlsNothingIsPresented) {
  GraphicsTestPlug plug;
  ScriptedGraphics graphics(&plug, 20, 20);
  EXPECT_TRUE(graphics.Redraw(IBox(0, 0, 20, 20)));
  EXPECT_EQ(graphics.PresentCount(), 0);
}

TEST(Redraw, StrictCompositionLetsLaterControlsCoverEarlierOnes) {
  GraphicsTestPlug plug;
  ScriptedGraphics graphics(&plug, 60, 60);
  graphics.PrepareSurfaces();
  LICE_FillArea(graphics.Surface(), 0, 0, 60, 60, LICE_MakePixel(1, 2, 3, 255));
  auto under = MakeStrip(40, 40, 1); // colour of frame 1
  auto over = MakeStrip(40, 40, 2);  // shows frame 2 at value 1
  graphics.AddControl(new IBitmapControl(&plug, 0, 0, -1, ImageOf(under.get(), 1)));
  auto* top = new IBitmapControl(&plug, 20, 20, -1, ImageOf(over.get(), 2));
  top->SetValueFromHost(1.0);
  graphics.AddControl(top);
  graphics.Redraw(IBox(0, 0, 50, 50));
  EXPECT_EQ(PixelAt(graphics.Surface(), 10, 10), FrameColour(1));
  EXPECT_EQ(PixelAt(graphics.Surface(), 30, 30), FrameColour(2)); // overlap: the later one
  EXPECT_EQ(PixelAt(graphics.Surface(), 49, 49), FrameColour(2));
  // Outside the redrawn area the surface is untouched.
  EXPECT_EQ(PixelAt(graphics.Surface(), 55, 55), LICE_MakePixel(1, 2, 3, 255));
  EXPECT_EQ(PixelAt(graphics.Surface(), 50, 30), LICE_MakePixel(1, 2, 3, 255));
}

TEST(Redraw, NonStrictWithDirtyBackgroundDrawsEverythingOverIt) {
  RedrawBench b;
  b.graphics.SetStrictDrawing(false);
  b.Add("bg", IBox(0, 0, 100, 100));
  b.Add("x", IBox(150, 150, 160, 160));
  b.Add("hidden", IBox(0, 0, 10, 10))->SetHidden(true);
  b.graphics.Redraw(IBox(0, 0, 5, 5));
  EXPECT_EQ(b.log, (Log{"bg draw", "x draw"}));
  EXPECT_EQ(b.graphics.DrawArea(), IBox(0, 0, 100, 100));
  EXPECT_FALSE(b.graphics.GetControl(0)->NeedsRedraw());
  EXPECT_FALSE(b.graphics.GetControl(1)->NeedsRedraw());
  EXPECT_TRUE(b.graphics.GetControl(2)->NeedsRedraw());
}

TEST(Redraw, NonStrictRedrawsEachDirtyControlWithWhatOverlapsIt) {
  RedrawBench b;
  b.graphics.SetStrictDrawing(false);
  b.Add("bg", IBox(0, 0, 100, 100));
  b.Add("k1", IBox(10, 10, 30, 30));
  b.Add("k2", IBox(50, 50, 70, 70));
  b.Add("over1", IBox(20, 20, 40, 40));
  b.CleanAll();
  b.graphics.GetControl(1)->MarkDirty(false);
  b.graphics.GetControl(2)->MarkDirty(false);
  b.graphics.Redraw(IBox(0, 0, 100, 100));
  EXPECT_EQ(b.log, (Log{"bg draw", "k1 draw", "over1 draw", "bg draw", "k2 draw"}));
  EXPECT_EQ(b.graphics.DrawArea(), IBox(50, 50, 70, 70));
  EXPECT_FALSE(b.graphics.GetControl(1)->NeedsRedraw());
  EXPECT_FALSE(b.graphics.GetControl(2)->NeedsRedraw());
}

TEST(CollectDirty, UnitesDirtyBoxesAndLeavesAreaAloneWhenClean) {
  RedrawBench b;
  b.Add("a", IBox(10, 10, 20, 20));
  b.Add("b", IBox(50, 5, 60, 15));
  b.Add("c", IBox(0, 100, 5, 110));
  b.CleanAll();
  IBox area(1, 2, 3, 4);
  EXPECT_FALSE(b.graphics.CollectDirty(area));
  EXPECT_EQ(area, IBox(1, 2, 3, 4));
  b.graphics.GetControl(0)->MarkDirty(false);
  b.graphics.GetControl(1)->MarkDirty(false);
  EXPECT_TRUE(b.graphics.CollectDirty(area));
  EXPECT_EQ(area, IBox(10, 5, 60, 20));
  b.graphics.GetControl(2)->SetValueFromHost(0.5); // the first value only sets the default
  IBox unchanged = area;
  b.graphics.GetControl(0)->MarkClean();
  b.graphics.GetControl(1)->MarkClean();
  EXPECT_FALSE(b.graphics.CollectDirty(unchanged));
  b.graphics.GetControl(2)->SetValueFromHost(0.6);
  b.graphics.GetControl(0)->MarkDirty(false);
  b.graphics.GetControl(1)->MarkDirty(false);
  EXPECT_TRUE(b.graphics.CollectDirty(area));
  EXPECT_EQ(area, IBox(0, 5, 60, 110));
}

TEST(ControlList, SetBackgroundGoesFirstAndAddControlCounts) {
  RedrawBench b;
  EXPECT_EQ(b.graphics.AddControl(new ProbeControl(b.log, "k1", &b.plug, IBox(1, 1, 2, 2))), 0);
  EXPECT_EQ(b.graphics.AddControl(new ProbeControl(b.log, "k2", &b.plug, IBox(2, 2, 3, 3))), 1);
  b.graphics.SetBackground(new ProbeControl(b.log, "bg", &b.plug, IBox(0, 0, 10, 10)));
  ASSERT_EQ(b.graphics.NumControls(), 3);
  b.graphics.Redraw(IBox(0, 0, 10, 10));
  EXPECT_EQ(b.log, (Log{"bg draw", "k1 draw", "k2 draw"}));
  EXPECT_EQ(b.graphics.GetControl(0)->Area(), IBox(0, 0, 10, 10));
  EXPECT_EQ(b.graphics.GetControl(2)->Area(), IBox(2, 2, 3, 3));
  EXPECT_EQ(b.graphics.AddControl(nullptr), -1);
  EXPECT_EQ(b.graphics.NumControls(), 3);
  EXPECT_EQ(b.graphics.GetControl(3), nullptr);
  EXPECT_EQ(b.graphics.GetControl(-1), nullptr);
}

// ---- DrawImage -----------------------------------------------------------------

struct ImageBench {
  GraphicsTestPlug plug;
  ScriptedGraphics graphics{&plug, 40, 40};
  LICE_MemBitmap image{4, 4};
  const LICE_PixelWord kBack = LICE_MakePixel(100, 100, 100, 255);
  ImageBench() {
    graphics.PrepareSurfaces();
    LICE_FillArea(graphics.Surface(), 0, 0, 40, 40, kBack);
    // A frame per row: row r has red 10 * (r + 1); the last row is transparent.
    for (int y = 0; y < 4; ++y)
      LICE_FillArea(&image, 0, y, 4, 1, LICE_MakePixel(10 * (y + 1), 0, 0, y == 3 ? 0 : 255));
    // Any control lets Redraw set the draw area.
    graphics.AddControl(new ProbeControl(log, "p", &plug, IBox(0, 0, 40, 40)));
  }
  LICE_PixelWord At(int x, int y) { return PixelAt(graphics.Surface(), x, y); }
  std::vector<std::string> log;
};

TEST(DrawImage, ClipsToTheDrawAreaAndReadsFromTheSourceOffset) {
  ImageBench b;
  b.graphics.Redraw(IBox(0, 0, 12, 11)); // draw area for what follows
  const IImage strip(&b.image, 4, 4, 4);
  const IBlend replace(IBlend::BlendReplace);
  // Row 1 of the strip (srcY 1) into a 4 x 3 box at (10, 10): only the part
  // inside the draw area, columns 10..11 of row 10, is drawn.
  EXPECT_TRUE(b.graphics.DrawImage(strip, IBox(10, 10, 14, 13), 0, 1, &replace));
  EXPECT_EQ(b.At(10, 10), LICE_MakePixel(20, 0, 0, 255));
  EXPECT_EQ(b.At(11, 10), LICE_MakePixel(20, 0, 0, 255));
  EXPECT_EQ(b.At(12, 10), b.kBack);
  EXPECT_EQ(b.At(10, 11), b.kBack);
}

TEST(DrawImage, BlendMethodsPickTheComposeMode) {
  ImageBench b;
  b.graphics.Redraw(IBox(0, 0, 40, 40));
  const IImage strip(&b.image, 4, 4, 1);
  // Normal: the transparent bottom row leaves the surface alone.
  b.graphics.DrawImage(strip, IBox(0, 0, 4, 4), 0, 0, nullptr);
  EXPECT_EQ(b.At(0, 0), LICE_MakePixel(10, 0, 0, 255));
  EXPECT_EQ(b.At(0, 3), b.kBack);
  // Replace copies the transparent row, alpha included.
  const IBlend replace(IBlend::BlendReplace);
  b.graphics.DrawImage(strip, IBox(10, 0, 14, 4), 0, 0, &replace);
  EXPECT_EQ(b.At(10, 3), LICE_MakePixel(40, 0, 0, 0));
  // Add saturates onto the background; an unknown method is Normal.
  const IBlend add(IBlend::BlendAdd);
  b.graphics.DrawImage(strip, IBox(20, 0, 24, 4), 0, 0, &add);
  EXPECT_EQ(b.At(20, 0), LICE_MakePixel(110, 100, 100, 255));
  const IBlend unknown(77);
  b.graphics.DrawImage(strip, IBox(30, 0, 34, 4), 0, 0, &unknown);
  EXPECT_EQ(b.At(30, 3), b.kBack);
  EXPECT_EQ(b.At(30, 2), LICE_MakePixel(30, 0, 0, 255));
  // A quarter weight (a greyed control) moves the pixel a quarter of the way.
  const IBlend greyed(IBlend::BlendNormal, 0.25f);
  b.graphics.DrawImage(strip, IBox(0, 10, 4, 14), 0, 0, &greyed);
  // k = (255 + 1) * 64 / 256 = 64: d = s + (d - s) * 192 / 256.
  EXPECT_EQ(b.At(0, 10),
            LICE_MakePixel(10 + (100 - 10) * 192 / 256, 100 * 192 / 256, 100 * 192 / 256, 255));
}

TEST(DrawImage, MissingRasterOrNoOverlapDrawsNothing) {
  ImageBench b;
  b.graphics.Redraw(IBox(0, 0, 20, 20));
  const IBlend replace(IBlend::BlendReplace);
  EXPECT_TRUE(b.graphics.DrawImage(IImage(nullptr, 4, 4, 1), IBox(0, 0, 4, 4), 0, 0, &replace));
  EXPECT_TRUE(
      b.graphics.DrawImage(IImage(&b.image, 4, 4, 1), IBox(25, 25, 29, 29), 0, 0, &replace));
  // Source offsets far outside the strip read nothing.
  EXPECT_TRUE(b.graphics.DrawImage(IImage(&b.image, 4, 4, 1), IBox(0, 0, 4, 4), 1000000, -1000000,
                                   &replace));
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(b.At(x, y), b.kBack) << x << "," << y;
}

} // namespace
