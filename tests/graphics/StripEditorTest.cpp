// The channel strip's own editor, built by its constructor, and its VU meter
// fed by the processing.
#include "EditorSnapshot.h"
#include "IBitmapControl.h"
#include "IKnobMultiControl.h"
#include "ISwitchControl.h"
#include "LICE_Composite.h"
#include "LICE_MemBitmap.h"
#include "LICE_Png.h"
#include "ModuleResource.h"
#include "TOLVEN.h"
#include "TOLVENEditor.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double kRate = 48000.0;
constexpr int kBlock = 480;

std::unique_ptr<TOLVEN> MakeStrip() {
  auto strip = std::make_unique<TOLVEN>(IPlugInstanceInfo());
  strip->Prepare(kRate, kBlock);
  strip->SetChannels(2);
  return strip;
}

IGraphics& EditorOf(TOLVEN& strip) {
  return *dynamic_cast<IGraphics*>(strip.GetEditor());
}

// Runs frames samples of left(n), right(n) through the strip.
template <class Signal> void RunStrip(TOLVEN& strip, long frames, Signal signal) {
  std::vector<double> l(kBlock), r(kBlock), outL(kBlock), outR(kBlock);
  for (long done = 0; done < frames;) {
    const int n = static_cast<int>(std::min<long>(kBlock, frames - done));
    for (int i = 0; i < n; ++i)
      signal(done + i, l[i], r[i]);
    const double* in[2] = {l.data(), r.data()};
    double* out[2] = {outL.data(), outR.data()};
    strip.Process(in, out, n);
    done += n;
  }
}

void Silence(long, double& l, double& r) {
  l = r = 0.0;
}

double MeterValue(TOLVEN& strip) {
  return EditorOf(strip).GetControl(7)->Value();
}
int MeterFrame(TOLVEN& strip) {
  return static_cast<IBitmapControl*>(EditorOf(strip).GetControl(7))->Frame();
}

TEST(StripEditor, ConstructorBuildsTheEightControlsInLayoutOrder) {
  auto strip = MakeStrip();
  IGraphics* editor = dynamic_cast<IGraphics*>(strip->GetEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Width(), 135);
  EXPECT_EQ(editor->Height(), 662);
  EXPECT_EQ(editor->FrameRate(), 25);
  ASSERT_EQ(editor->NumControls(), 8);
  ASSERT_NE(editor->Surface(), nullptr);

  const struct {
    IBox area;
    int param;
    int frames;
    int blend;
  } layout[] = {{IBox(0, 0, 135, 692), -1, 1, IBlend::BlendReplace},
                {IBox(32, 219, 105, 288), 0, 61, IBlend::BlendNormal},
                {IBox(32, 302, 105, 371), 1, 61, IBlend::BlendNormal},
                {IBox(32, 390, 105, 455), 2, 61, IBlend::BlendNormal},
                {IBox(16, 479, 120, 581), 3, 61, IBlend::BlendNormal},
                {IBox(18, 107, 120, 209), 4, 61, IBlend::BlendNormal},
                {IBox(28, 594, 107, 638), 5, 2, IBlend::BlendNormal},
                {IBox(5, 4, 132, 71), -1, 121, IBlend::BlendNormal}};
  for (int i = 0; i < 8; ++i) {
    IControl* c = editor->GetControl(i);
    EXPECT_EQ(c->Area(), layout[i].area) << i;
    EXPECT_EQ(c->ParamIndex(), layout[i].param) << i;
    EXPECT_EQ(c->Blend().method, layout[i].blend) << i;
    EXPECT_EQ(c->Blend().weight, 1.0f) << i;
  }
  for (int i : {0, 7}) {
    auto* bitmap = dynamic_cast<IBitmapControl*>(editor->GetControl(i));
    ASSERT_NE(bitmap, nullptr) << i;
    EXPECT_EQ(dynamic_cast<ISwitchControl*>(bitmap), nullptr);
    ASSERT_NE(bitmap->Image().raster, nullptr) << i;
    EXPECT_EQ(bitmap->Image().frameCount, layout[i].frames);
  }
  for (int i = 1; i <= 5; ++i) {
    auto* knob = dynamic_cast<IKnobMultiControl*>(editor->GetControl(i));
    ASSERT_NE(knob, nullptr) << i;
    EXPECT_EQ(knob->Direction(), IKnobControl::Vertical);
    EXPECT_EQ(knob->Gearing(), 4.0);
    ASSERT_NE(knob->Image().raster, nullptr) << i;
    EXPECT_EQ(knob->Image().frameCount, 61);
  }
  auto* bypass = dynamic_cast<ISwitchControl*>(editor->GetControl(6));
  ASSERT_NE(bypass, nullptr);
  EXPECT_EQ(bypass->Image().frameCount, 2);
  // Every parameter's default went in when the editor was attached.
  const double defaults[] = {0.5, 0.5, 0.5, 0.5, 0.5, 0.0};
  for (int i = 1; i <= 6; ++i) {
    EXPECT_DOUBLE_EQ(editor->GetControl(i)->Value(), defaults[i - 1]) << i;
    EXPECT_DOUBLE_EQ(editor->GetControl(i)->DefaultValue(), defaults[i - 1]) << i;
  }
}

TEST(StripEditor, PressAt60x250TakesTheHighKnob) {
  auto strip = MakeStrip();
  IGraphics& editor = EditorOf(*strip);
  editor.DispatchPress(60, 250, IMouseKeys(true, false));
  EXPECT_EQ(editor.CaptureIndex(), 1);
  // Dragging it up 10 pixels raises "High Gain 1" by 10 / 69 / 4.
  editor.DispatchDrag(60, 240, IMouseKeys(true, false));
  editor.DispatchRelease(60, 240, IMouseKeys(true, false));
  EXPECT_NEAR(strip->GetParam(kHighGain)->Value(), 0.5 + 10.0 / 69.0 / 4.0, 1e-12);
  EXPECT_EQ(editor.CaptureIndex(), -1);
}

TEST(StripEditor, OutputFromTheHostMovesOnlyTheOutputKnob) {
  auto strip = MakeStrip();
  IGraphics& editor = EditorOf(*strip);
  for (int i = 0; i < editor.NumControls(); ++i)
    editor.GetControl(i)->MarkClean();
  strip->SetParameterValue(kOutputGain, 12.0);
  for (int i = 0; i < editor.NumControls(); ++i)
    EXPECT_EQ(editor.GetControl(i)->NeedsRedraw(), i == 5) << i;
  EXPECT_DOUBLE_EQ(editor.GetControl(5)->Value(), 0.75);
  IBox dirty;
  ASSERT_TRUE(editor.CollectDirty(dirty));
  EXPECT_EQ(dirty, IBox(18, 107, 120, 209));
}

// ---- The VU meter ------------------------------------------------------------------

TEST(StripMeter, SilenceLetsTheNeedleFallFromFullScale) {
  auto strip = MakeStrip();
  EXPECT_EQ(MeterValue(*strip), 1.0); // fully right before any audio
  EXPECT_EQ(MeterFrame(*strip), 121);
  RunStrip(*strip, 1, Silence);
  // One sample from 1.0 towards almost nothing: the factor k itself.
  EXPECT_NEAR(MeterValue(*strip), std::exp(-4.60517018599 / (kRate * 0.3)), 1e-12);
  EXPECT_NEAR(MeterValue(*strip), 0.999680248, 1e-9);
  EXPECT_EQ(MeterFrame(*strip), 121);
  RunStrip(*strip, 13920 - 1, Silence); // 0.29 s
  EXPECT_GT(MeterValue(*strip), 0.01);
  RunStrip(*strip, 960, Silence); // 0.31 s
  EXPECT_LT(MeterValue(*strip), 0.01);
  RunStrip(*strip, 9120, Silence); // 0.5 s
  EXPECT_EQ(MeterFrame(*strip), 1);
}

TEST(StripMeter, InPhaseSinesSwingTheNeedleUpOppositeOnesLetItRest) {
  constexpr double kPi = 3.14159265358979323846;
  auto inPhase = [](long n, double& l, double& r) {
    l = r = 0.5 * std::sin(2 * kPi * 1000.0 * n / kRate);
  };
  auto opposite = [](long n, double& l, double& r) {
    l = 0.5 * std::sin(2 * kPi * 1000.0 * n / kRate);
    r = -l;
  };
  // Bypassed, the outputs are the inputs: |L + R| peaks at 1.0, and the
  // needle settles at its average (2 / pi), in the upper half of the scale.
  auto strip = MakeStrip();
  strip->SetParameterValue(kBypass, 1.0);
  RunStrip(*strip, 48000, inPhase);
  EXPECT_NEAR(MeterValue(*strip), 2.0 / kPi, 0.03);
  EXPECT_GT(MeterFrame(*strip), 70);
  RunStrip(*strip, 48000, opposite);
  EXPECT_LT(MeterValue(*strip), 1e-3);
  EXPECT_EQ(MeterFrame(*strip), 1);

  // Processed: the strip treats both channels alike, so opposite inputs give
  // opposite outputs and the needle rests; equal ones move it.
  auto processed = MakeStrip();
  RunStrip(*processed, 48000, opposite);
  EXPECT_EQ(MeterFrame(*processed), 1);
  RunStrip(*processed, 48000, inPhase);
  EXPECT_GT(MeterFrame(*processed), 40);
}

// ---- Composed pictures ----------------------------------------------------------------

std::unique_ptr<LICE_IBitmap> ResourceImage(int id) {
  const unsigned char* data = nullptr;
  size_t size = 0;
  if (!FindModuleResource(id, "PNG", &data, &size)) return nullptr;
  return std::unique_ptr<LICE_IBitmap>(LICE_DecodePngMemory(data, size));
}

TEST(StripSnapshot, KnobPixelsAreTheirFrameCompositedOverTheBackground) {
  auto strip = MakeStrip();
  strip->SetParameterValue(kHighGain, 0.75); // frame trunc(60 * 0.75 + 0.5) + 1 = 46
  strip->SetParameterValue(kMidGain, 0.0);   // frame 1
  LICE_MemBitmap shot;
  std::string error;
  ASSERT_TRUE(ComposeEditor(*strip, 0.0, shot, error)) << error;
  ASSERT_EQ(shot.Width(), 135);
  ASSERT_EQ(shot.Height(), 662);

  // The same picture put together by hand from the decoded strips.
  auto background = ResourceImage(kImageBackground);
  auto high = ResourceImage(kImageHighKnob);
  auto mid = ResourceImage(kImageMidKnob);
  ASSERT_TRUE(background && high && mid);
  LICE_MemBitmap expected(135, 662);
  LICE_Composite(&expected, background.get(), 0, 0, nullptr, 1.0f, LICE_COMPOSE_COPY);
  const LICE_Rect highFrame = {0, 45 * 69, 73, 46 * 69};
  LICE_Composite(&expected, high.get(), 32, 219, &highFrame, 1.0f, LICE_COMPOSE_SRCALPHA);
  const LICE_Rect midFrame = {0, 0, 73, 69};
  LICE_Composite(&expected, mid.get(), 32, 302, &midFrame, 1.0f, LICE_COMPOSE_SRCALPHA);

  int differing = 0, knobPixelsOffBackground = 0;
  for (const IBox& knob : {IBox(32, 219, 105, 288), IBox(32, 302, 105, 371)}) {
    for (int y = knob.T; y < knob.B; ++y) {
      for (int x = knob.L; x < knob.R; ++x) {
        const LICE_PixelWord got = shot.Pixels()[y * shot.RowSpan() + x];
        if (got != expected.Pixels()[y * expected.RowSpan() + x]) ++differing;
        if (got != background->Pixels()[y * background->RowSpan() + x]) ++knobPixelsOffBackground;
      }
    }
  }
  EXPECT_EQ(differing, 0);
  EXPECT_GT(knobPixelsOffBackground, 2000); // the knobs really are there
  // Between the controls the background shows as it is.
  EXPECT_EQ(shot.Pixels()[100 * shot.RowSpan() + 2],
            background->Pixels()[100 * background->RowSpan() + 2]);
}

TEST(StripSnapshot, MeterLevelPicksTheNeedleFrame) {
  auto strip = MakeStrip();
  auto meter = ResourceImage(kImageMeter);
  ASSERT_NE(meter, nullptr);
  for (double level : {0.0, 0.5, 1.0}) {
    LICE_MemBitmap shot;
    std::string error;
    ASSERT_TRUE(ComposeEditor(*strip, level, shot, error));
    const int frame = static_cast<int>(120 * level + 0.5) + 1;
    int differing = 0;
    for (int y = 0; y < 67; ++y)
      for (int x = 0; x < 127; ++x)
        differing += shot.Pixels()[(4 + y) * shot.RowSpan() + 5 + x] !=
                     meter->Pixels()[((frame - 1) * 67 + y) * meter->RowSpan() + x];
    EXPECT_EQ(differing, 0) << level;
  }
}

} // namespace
