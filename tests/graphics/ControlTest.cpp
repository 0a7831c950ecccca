#include "GraphicsTestSupport.h"

#include "IKnobMultiControl.h"
#include "ISwitchControl.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// An editor with its surface, holding one control that covers its own box.
struct DrawBench {
  GraphicsTestPlug plug;
  ScriptedGraphics graphics{&plug, 200, 200};
  DrawBench() { graphics.PrepareSurfaces(); }
  // Draws everything and returns the surface pixel at (x, y).
  LICE_PixelWord DrawAndRead(int x, int y) {
    graphics.Redraw(IBox(0, 0, 200, 200));
    return PixelAt(graphics.Surface(), x, y);
  }
};

TEST(ControlFrames, KnobShowsFirstMiddleAndLastFrame) {
  DrawBench bench;
  auto strip = MakeStrip(73, 69, 61);
  auto* knob = new IKnobMultiControl(&bench.plug, 32, 19, 0, ImageOf(strip.get(), 61));
  bench.graphics.AddControl(knob);
  EXPECT_EQ(knob->Area(), IBox(32, 19, 105, 88));

  const struct {
    double value;
    int frame;
  } cases[] = {{0.0, 1}, {0.5, 31}, {1.0, 61}, {0.0084, 2}, {0.0083, 1}, {0.99, 60}};
  for (const auto& c : cases) {
    knob->SetValueFromHost(c.value);
    EXPECT_EQ(knob->Frame(), c.frame) << c.value;
    // The surface shows that frame: frame k starts (k - 1) * 69 rows down.
    EXPECT_EQ(bench.DrawAndRead(40, 30), FrameColour(c.frame)) << c.value;
    EXPECT_EQ(bench.DrawAndRead(104, 87), FrameColour(c.frame)) << c.value;
  }
}

TEST(ControlFrames, BitmapShowsFrameByRoundedValue) {
  DrawBench bench;
  auto strip = MakeStrip(127, 67, 121);
  auto* meter = new IBitmapControl(&bench.plug, 5, 4, -1, ImageOf(strip.get(), 121));
  bench.graphics.AddControl(meter);
  EXPECT_EQ(meter->Area(), IBox(5, 4, 132, 71));
  const struct {
    double value;
    int frame;
  } cases[] = {{0.0, 1}, {0.5, 61}, {1.0, 121}, {0.004, 1}, {0.0042, 2}};
  for (const auto& c : cases) {
    meter->SetValueFromHost(c.value);
    EXPECT_EQ(meter->Frame(), c.frame) << c.value;
    EXPECT_EQ(bench.DrawAndRead(60, 40), FrameColour(c.frame)) << c.value;
  }
}

TEST(ControlFrames, TwoFrameBitmapSwitchesAtHalf) {
  auto strip = MakeStrip(79, 44, 2);
  IBitmapControl button(nullptr, 0, 0, -1, ImageOf(strip.get(), 2));
  EXPECT_EQ(button.Area(), IBox(0, 0, 79, 44));
  button.SetValueFromHost(0.49);
  EXPECT_EQ(button.Frame(), 1);
  button.SetValueFromHost(0.5);
  EXPECT_EQ(button.Frame(), 2);
}

TEST(ControlFrames, OutOfRangeValuesShowTheEndFrames) {
  DrawBench bench;
  auto strip = MakeStrip(20, 10, 61);
  auto* knob = new IKnobMultiControl(&bench.plug, 0, 0, 0, ImageOf(strip.get(), 61));
  auto* bitmap = new IBitmapControl(&bench.plug, 100, 0, -1, ImageOf(strip.get(), 61));
  bench.graphics.AddControl(knob);
  bench.graphics.AddControl(bitmap);
  // Wider clamp bounds let values outside 0..1 reach the frame choice.
  knob->SetClamp(-1e300, 1e300);
  bitmap->SetClamp(-1e300, 1e300);
  for (double v : {1.7, 1e300, std::numeric_limits<double>::infinity()}) {
    knob->SetValueFromHost(v);
    bitmap->SetValueFromHost(v);
    EXPECT_EQ(knob->Frame(), 61) << v;
    EXPECT_EQ(bitmap->Frame(), 61) << v;
    EXPECT_EQ(bench.DrawAndRead(5, 5), FrameColour(61)) << v;
    EXPECT_EQ(bench.DrawAndRead(105, 5), FrameColour(61)) << v;
  }
  for (double v : {-0.3, -1e300, -std::numeric_limits<double>::infinity()}) {
    knob->SetValueFromHost(v);
    bitmap->SetValueFromHost(v);
    EXPECT_EQ(knob->Frame(), 1) << v;
    EXPECT_EQ(bitmap->Frame(), 1) << v;
    EXPECT_EQ(bench.DrawAndRead(5, 5), FrameColour(1)) << v;
  }
  // The default clamp keeps a host value inside 0..1.
  IKnobMultiControl plain(nullptr, 0, 0, -1, ImageOf(strip.get(), 61));
  plain.SetValueFromHost(0.5);
  plain.SetValueFromHost(3.0);
  EXPECT_EQ(plain.Value(), 1.0);
  EXPECT_EQ(plain.Frame(), 61);
}

TEST(ControlFrames, HorizontalStripsAndDegenerateFrameCounts) {
  DrawBench bench;
  auto strip = MakeStrip(10, 8, 5, true);
  auto* knob = new IKnobMultiControl(&bench.plug, 0, 0, -1, ImageOf(strip.get(), 5, true));
  bench.graphics.AddControl(knob);
  EXPECT_EQ(knob->Area(), IBox(0, 0, 10, 8));
  knob->SetValueFromHost(0.75);
  EXPECT_EQ(knob->Frame(), 4);
  EXPECT_EQ(bench.DrawAndRead(9, 7), FrameColour(4));

  // A frame count of 0 or 1 shows the first frame and divides by nothing.
  auto single = MakeStrip(10, 8, 1);
  IBitmapControl zero(nullptr, 0, 0, -1, IImage(single.get(), 10, 8, 0));
  IKnobMultiControl one(nullptr, 0, 0, -1, IImage(single.get(), 10, 8, 1));
  zero.SetValueFromHost(1.0);
  one.SetValueFromHost(1.0);
  EXPECT_EQ(zero.Frame(), 1);
  EXPECT_EQ(one.Frame(), 1);
  EXPECT_EQ(zero.Area(), IBox(0, 0, 10, 8));
}

// A knob of the editor's high band: 69-pixel frames.
struct KnobBench {
  GraphicsTestPlug plug;
  std::unique_ptr<LICE_MemBitmap> strip = MakeStrip(73, 69, 61);
  IKnobMultiControl knob{&plug, 32, 219, 0, ImageOf(strip.get(), 61)};
  KnobBench() { knob.SetValueFromHost(0.5); }
};

TEST(KnobInput, DragUpRaisesByDistanceOverFourHeights) {
  KnobBench b;
  b.knob.OnDrag(50, 240, 0, -10, IMouseKeys());
  const double expected = 0.5 + -10.0 / (219.0 - 288.0) / 4.0;
  EXPECT_DOUBLE_EQ(b.knob.Value(), expected);
  EXPECT_NEAR(b.knob.Value() - 0.5, 0.0362, 1e-4);
  // The value went to the plug-in base and on to the host.
  ASSERT_EQ(b.plug.notified.size(), 1u);
  EXPECT_EQ(b.plug.notified[0].first, 0);
  EXPECT_DOUBLE_EQ(b.plug.notified[0].second, expected);
  EXPECT_NEAR(b.plug.GetParam(0)->Value(), expected, 1e-12);

  // Down lowers it; horizontal movement does nothing to a vertical knob.
  b.knob.OnDrag(50, 250, 30, 10, IMouseKeys());
  EXPECT_NEAR(b.knob.Value(), 0.5, 1e-12);
}

TEST(KnobInput, ShiftOrCtrlMakesDragTenTimesFiner) {
  for (IMouseKeys keys :
       {IMouseKeys(true, false, true, false), IMouseKeys(true, false, false, true)}) {
    KnobBench b;
    b.knob.OnDrag(50, 240, 0, -10, keys);
    EXPECT_DOUBLE_EQ(b.knob.Value(), 0.5 + -10.0 / -69.0 / 40.0);
  }
}

TEST(KnobInput, DragPastAnEndDoesNotAccumulateOvershoot) {
  KnobBench b;
  b.knob.OnDrag(50, 0, 0, -1000, IMouseKeys());
  EXPECT_EQ(b.knob.Value(), 1.0);
  b.knob.OnDrag(50, 10, 0, 10, IMouseKeys());
  EXPECT_DOUBLE_EQ(b.knob.Value(), 1.0 - 10.0 / 69.0 / 4.0);
  b.knob.OnDrag(50, 2000, 0, 5000, IMouseKeys());
  EXPECT_EQ(b.knob.Value(), 0.0);
  EXPECT_EQ(b.plug.notified.back().second, 0.0);
}

TEST(KnobInput, HorizontalKnobFollowsDxOverWidth) {
  GraphicsTestPlug plug;
  auto strip = MakeStrip(50, 20, 11);
  IKnobMultiControl knob(&plug, 0, 0, 1, ImageOf(strip.get(), 11), IKnobControl::Horizontal, 2.0);
  knob.SetValueFromHost(0.25);
  knob.OnDrag(10, 10, 10, -40, IMouseKeys());
  EXPECT_DOUBLE_EQ(knob.Value(), 0.25 + 10.0 / 50.0 / 2.0);
}

TEST(KnobInput, KnobWithoutExtentIgnoresDrags) {
  GraphicsTestPlug plug;
  IKnobMultiControl knob(&plug, 0, 0, 0, IImage(nullptr, 0, 0, 61));
  knob.SetValueFromHost(0.5);
  knob.OnDrag(0, 0, 0, -10, IMouseKeys());
  EXPECT_EQ(knob.Value(), 0.5);
  EXPECT_TRUE(plug.notified.empty());
}

TEST(KnobInput, WheelMovesOnePercentPerNotchOrAThousandthFine) {
  KnobBench b;
  b.knob.OnWheel(50, 240, IMouseKeys(), 3);
  EXPECT_DOUBLE_EQ(b.knob.Value(), 0.5 + 3 * 0.01);
  b.knob.OnWheel(50, 240, IMouseKeys(false, false, true), -2);
  EXPECT_DOUBLE_EQ(b.knob.Value(), 0.5 + 3 * 0.01 + -2 * 0.001);
  b.knob.OnWheel(50, 240, IMouseKeys(false, false, false, true), 1);
  EXPECT_DOUBLE_EQ(b.knob.Value(), 0.5 + 3 * 0.01 + -2 * 0.001 + 0.001);
  b.knob.OnWheel(50, 240, IMouseKeys(), 500);
  EXPECT_EQ(b.knob.Value(), 1.0);
  EXPECT_EQ(b.plug.notified.size(), 4u);
}

TEST(SwitchInput, TwoStatesToggleOnEveryPressAndDoublePress) {
  GraphicsTestPlug plug;
  auto strip = MakeStrip(79, 44, 2);
  ISwitchControl button(&plug, 28, 594, 5, ImageOf(strip.get(), 2));
  EXPECT_EQ(button.Area(), IBox(28, 594, 107, 638));
  button.SetValueFromHost(0.0);
  button.OnPress(30, 600, IMouseKeys(true, false));
  EXPECT_EQ(button.Value(), 1.0);
  EXPECT_EQ(button.Frame(), 2);
  EXPECT_EQ(plug.GetParam(5)->Value(), 1.0);
  // 1.0 + 1.0 wraps to 0, not 2; any button steps.
  button.OnPress(30, 600, IMouseKeys(false, true));
  EXPECT_EQ(button.Value(), 0.0);
  EXPECT_EQ(plug.GetParam(5)->Value(), 0.0);
  button.OnDoublePress(30, 600, IMouseKeys(true, false));
  EXPECT_EQ(button.Value(), 1.0);
  ASSERT_EQ(plug.notified.size(), 3u);
  EXPECT_EQ(plug.notified[2], std::make_pair(5, 1.0));
}

TEST(SwitchInput, ThreeStatesStepThroughHalfAndWrap) {
  GraphicsTestPlug plug;
  auto strip = MakeStrip(10, 10, 3);
  ISwitchControl selector(&plug, 0, 0, 0, ImageOf(strip.get(), 3));
  selector.SetValueFromHost(0.0);
  const double expected[] = {0.5, 1.0, 0.0, 0.5};
  const int frames[] = {2, 3, 1, 2};
  for (int i = 0; i < 4; ++i) {
    selector.OnPress(0, 0, IMouseKeys(true, false));
    EXPECT_DOUBLE_EQ(selector.Value(), expected[i]) << i;
    EXPECT_EQ(selector.Frame(), frames[i]) << i;
  }
}

TEST(SwitchInput, SingleFrameSwitchStepsByOne) {
  auto strip = MakeStrip(10, 10, 1);
  ISwitchControl toggle(nullptr, 0, 0, -1, ImageOf(strip.get(), 1));
  toggle.SetValueFromHost(0.0);
  toggle.OnPress(0, 0, IMouseKeys(true, false));
  EXPECT_EQ(toggle.Value(), 1.0);
  toggle.OnPress(0, 0, IMouseKeys(true, false));
  EXPECT_EQ(toggle.Value(), 0.0);
}

TEST(ControlValues, FirstHostValueBecomesDefaultForDoublePress) {
  GraphicsTestPlug plug;
  plug.GetParam(3)->SetValue(6.0);
  auto strip = MakeStrip(104, 102, 61);
  auto* graphics = new ScriptedGraphics(&plug, 135, 662);
  auto* knob = new IKnobMultiControl(&plug, 16, 479, 3, ImageOf(strip.get(), 61));
  graphics->AddControl(knob);
  plug.AttachEditor(graphics);
  EXPECT_DOUBLE_EQ(knob->DefaultValue(), 0.625);
  EXPECT_DOUBLE_EQ(knob->Value(), 0.625);

  knob->OnDrag(20, 400, 0, -100, IMouseKeys());
  knob->SetValueFromHost(0.1); // later host values do not move the default
  EXPECT_DOUBLE_EQ(knob->DefaultValue(), 0.625);
  knob->OnDoublePress(20, 400, IMouseKeys(true, false));
  EXPECT_DOUBLE_EQ(knob->Value(), 0.625);
  EXPECT_DOUBLE_EQ(plug.notified.back().second, 0.625);
  EXPECT_NEAR(plug.GetParam(3)->Value(), 6.0, 1e-9);
}

TEST(ControlValues, ControlThatNeverReceivedAValueIgnoresDoublePress) {
  GraphicsTestPlug plug;
  auto strip = MakeStrip(10, 10, 61);
  IKnobMultiControl knob(&plug, 0, 0, 0, ImageOf(strip.get(), 61));
  knob.OnDoublePress(0, 0, IMouseKeys(true, false));
  EXPECT_EQ(knob.Value(), 0.0);
  EXPECT_TRUE(plug.notified.empty());
}

TEST(ControlValues, EqualHostValueLeavesControlClean) {
  auto strip = MakeStrip(10, 10, 61);
  IKnobMultiControl knob(nullptr, 0, 0, 0, ImageOf(strip.get(), 61));
  EXPECT_TRUE(knob.NeedsRedraw()); // new controls are drawn once
  knob.SetValueFromHost(0.3);
  knob.MarkClean();
  EXPECT_FALSE(knob.NeedsRedraw());
  knob.SetValueFromHost(0.3);
  EXPECT_FALSE(knob.NeedsRedraw());
  EXPECT_FALSE(knob.PendingRedraw());

  // A different value stays dirty for one extra frame.
  knob.SetValueFromHost(0.4);
  EXPECT_TRUE(knob.NeedsRedraw());
  knob.MarkClean();
  EXPECT_TRUE(knob.NeedsRedraw());
  knob.MarkClean();
  EXPECT_FALSE(knob.NeedsRedraw());

  // NaN from a host is ignored outright.
  knob.SetValueFromHost(std::nan(""));
  EXPECT_FALSE(knob.NeedsRedraw());
  EXPECT_EQ(knob.Value(), 0.4);
}

TEST(ControlValues, EntryValuesAreClampedAndPushed) {
  GraphicsTestPlug plug;
  std::vector<std::string> log;
  ProbeControl control(log, "c", &plug, IBox(0, 0, 10, 10), 2);
  control.SetClamp(0.2, 0.8);
  control.SetValueFromEntry(0.9);
  EXPECT_EQ(control.Value(), 0.8);
  ASSERT_EQ(plug.notified.size(), 1u);
  EXPECT_EQ(plug.notified[0], std::make_pair(2, 0.8));
  EXPECT_EQ(plug.changed, std::vector<int>{2});
  control.SetValueFromEntry(0.8); // unchanged: nothing pushed
  EXPECT_EQ(plug.notified.size(), 1u);
  control.SetValueFromEntry(0.1);
  EXPECT_EQ(control.Value(), 0.2);
  EXPECT_TRUE(control.PendingRedraw());
}

TEST(ControlValues, GreyingSetsQuarterWeightAndUngreyingRestoresFull) {
  std::vector<std::string> log;
  ProbeControl control(log, "c", nullptr, IBox(0, 0, 10, 10));
  control.Blend().weight = 0.6f;
  control.MarkClean();
  control.SetGreyed(true);
  EXPECT_TRUE(control.IsGreyed());
  EXPECT_EQ(control.Blend().weight, 0.25f);
  EXPECT_TRUE(control.NeedsRedraw());
  control.SetGreyed(false);
  EXPECT_EQ(control.Blend().weight, 1.0f);

  control.MarkClean();
  control.SetHidden(true);
  EXPECT_TRUE(control.IsHidden());
  control.MarkClean();
  EXPECT_TRUE(control.NeedsRedraw()); // hiding repaints for one more frame
}

TEST(ControlValues, DisplaysGetValueTextAndNameAndIgnoreEqualText) {
  GraphicsTestPlug plug;
  std::vector<std::string> log;
  ProbeControl valueText(log, "value", nullptr, IBox(0, 0, 10, 10));
  ProbeControl nameText(log, "name", nullptr, IBox(0, 10, 10, 20));
  auto strip = MakeStrip(10, 10, 61);
  IKnobMultiControl knob(&plug, 0, 0, 4, ImageOf(strip.get(), 61));
  knob.SetValueDisplay(&valueText);
  knob.SetNameDisplay(&nameText);
  knob.SetValueFromHost(0.5);
  knob.OnWheel(0, 0, IMouseKeys(), 25); // 0.75 of -24..24 dB
  EXPECT_EQ(valueText.DisplayText(), "12.00 dB");
  EXPECT_EQ(nameText.DisplayText(), "Output 1");

  valueText.MarkClean();
  nameText.MarkClean();
  valueText.SetDisplayText("12.00 dB");
  EXPECT_FALSE(valueText.NeedsRedraw());
  knob.OnWheel(0, 0, IMouseKeys(), -25);
  EXPECT_EQ(valueText.DisplayText(), "0.00 dB");
  EXPECT_TRUE(valueText.NeedsRedraw());
  EXPECT_FALSE(nameText.NeedsRedraw()); // same name: ignored
}

// ---- Prompting for a value ----------------------------------------------------

struct PromptBench {
  GraphicsTestPlug plug;
  ScriptedGraphics* graphics = new ScriptedGraphics(&plug, 135, 662);
  std::vector<std::string> log;
  ProbeControl* knob = new ProbeControl(log, "knob", &plug, IBox(32, 219, 105, 288), 4);
  ProbeControl* bypass = new ProbeControl(log, "bypass", &plug, IBox(28, 594, 107, 638), 5);
  PromptBench() {
    graphics->AddControl(knob);
    graphics->AddControl(bypass);
    plug.AttachEditor(graphics);
  }
};

TEST(ControlPrompt, RightPressDoesNothingWhilePromptingIsDisabled) {
  PromptBench b;
  EXPECT_TRUE(b.knob->PromptDisabled());
  b.knob->OnPress(50, 250, IMouseKeys(false, true));
  EXPECT_TRUE(b.graphics->entries.empty());
  EXPECT_TRUE(b.graphics->shownMenus.empty());
}

TEST(ControlPrompt, ContinuousParameterOpensTextEntryWithItsValue) {
  PromptBench b;
  b.knob->SetPromptDisabled(false);
  b.plug.GetParam(4)->SetValue(-6.5);
  b.knob->OnPress(50, 250, IMouseKeys(true, false)); // left: no prompt
  EXPECT_TRUE(b.graphics->entries.empty());
  b.knob->OnPress(50, 250, IMouseKeys(false, true));
  ASSERT_EQ(b.graphics->entries.size(), 1u);
  EXPECT_EQ(b.graphics->entries[0], "-6.50");
  // 40 x 16 centred on the control: centre (68, 253).
  EXPECT_EQ(b.graphics->entryArea, IBox(48, 245, 88, 261));
  EXPECT_EQ(b.graphics->entryControl, b.knob);
  EXPECT_EQ(b.graphics->entryParam, b.plug.GetParam(4));
  EXPECT_TRUE(b.knob->PendingRedraw());

  b.plug.GetParam(4)->SetNegateDisplay(true);
  b.knob->OnPress(50, 250, IMouseKeys(false, true));
  EXPECT_EQ(b.graphics->entries[1], "6.50");
}

TEST(ControlPrompt, SteppedParameterWithTextsOffersAMenuAndTakesTheChoice) {
  PromptBench b;
  b.plug.GetParam(5)->AddDisplayText(0, "in");
  b.plug.GetParam(5)->AddDisplayText(1, "out");
  b.bypass->SetPromptDisabled(false);
  b.graphics->menuChoice = 1;
  b.bypass->OnPress(30, 600, IMouseKeys(false, true));
  ASSERT_EQ(b.graphics->shownMenus.size(), 1u);
  EXPECT_EQ(b.graphics->shownMenus[0], (std::vector<std::string>{"in*", "out"}));
  EXPECT_EQ(b.graphics->menuArea, b.bypass->Area());
  EXPECT_EQ(b.bypass->Value(), 1.0);
  EXPECT_EQ(b.plug.GetParam(5)->Value(), 1.0);

  // Cancelled: nothing changes.
  b.graphics->menuChoice = -1;
  b.bypass->OnPress(30, 600, IMouseKeys(false, true));
  EXPECT_EQ(b.graphics->shownMenus[1], (std::vector<std::string>{"in", "out*"}));
  EXPECT_EQ(b.plug.GetParam(5)->Value(), 1.0);
}

TEST(ControlPrompt, SteppedParameterWithoutTextsGetsAWholeNumberEntry) {
  PromptBench b;
  b.bypass->SetPromptDisabled(false);
  b.plug.GetParam(5)->SetValue(1.0);
  b.bypass->OnPress(30, 600, IMouseKeys(false, true));
  ASSERT_EQ(b.graphics->entries.size(), 1u);
  EXPECT_EQ(b.graphics->entries[0], "1");
  EXPECT_TRUE(b.graphics->shownMenus.empty());
}

} // namespace
