#include "GraphicsTestSupport.h"

#include "IKnobMultiControl.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

using Log = std::vector<std::string>;

// A background, a knob for parameter 0 and, partly over it, a second control
// for parameter 1.
struct DispatchBench {
  explicit DispatchBench(int format = kFormatVST2) : plug(format) {
    graphics.SetBackground(new ProbeControl(log, "bg", &plug, IBox(0, 0, 135, 692)));
    graphics.AddControl(new ProbeControl(log, "one", &plug, IBox(32, 219, 105, 288), 0));
    graphics.AddControl(new ProbeControl(log, "two", &plug, IBox(60, 240, 120, 300), 1));
  }
  IControl* Control(int i) { return graphics.GetControl(i); }

  Log log;
  GraphicsTestPlug plug;
  ScriptedGraphics graphics{&plug, 135, 662};
};

const IMouseKeys kLeft(true, false);
const IMouseKeys kRight(false, true);

TEST(Dispatch, TopmostControlTakesThePress) {
  DispatchBench b;
  b.graphics.DispatchPress(70, 250, kLeft);
  EXPECT_EQ(b.graphics.CaptureIndex(), 2);
  EXPECT_EQ(b.log, Log{"two press 70,250"});
  EXPECT_EQ(b.plug.edits, Log{"begin 1"});
  EXPECT_EQ(b.graphics.LastMouseX(), 70);
  EXPECT_EQ(b.graphics.LastMouseY(), 250);

  b.graphics.DispatchPress(40, 230, kLeft);
  EXPECT_EQ(b.graphics.CaptureIndex(), 1);
  EXPECT_EQ(b.log.back(), "one press 40,230");
}

TEST(Dispatch, PressOnBackgroundCapturesItWithoutBeginEdit) {
  DispatchBench b;
  b.graphics.DispatchPress(10, 10, kLeft);
  EXPECT_EQ(b.graphics.CaptureIndex(), 0);
  EXPECT_EQ(b.log, Log{"bg press 10,10"});
  EXPECT_TRUE(b.plug.edits.empty());
  b.graphics.DispatchRelease(10, 10, kLeft);
  EXPECT_EQ(b.log.back(), "bg release 10,10");
  EXPECT_TRUE(b.plug.edits.empty());
}

TEST(Dispatch, HiddenAndGreyedControlsAreNeverHit) {
  DispatchBench b;
  b.Control(2)->SetHidden(true);
  b.graphics.DispatchPress(70, 250, kLeft);
  EXPECT_EQ(b.graphics.CaptureIndex(), 1);
  b.Control(1)->SetGreyed(true);
  b.graphics.DispatchPress(70, 250, kLeft);
  EXPECT_EQ(b.graphics.CaptureIndex(), 0);
  b.graphics.DispatchWheel(70, 250, IMouseKeys(), 1); // the capture gets it
  b.graphics.DispatchRelease(70, 250, kLeft);
  b.graphics.DispatchWheel(70, 250, IMouseKeys(), 2); // the hit control gets it
  EXPECT_EQ(b.log, (Log{"one press 70,250", "bg press 70,250", "bg wheel 70,250 1",
                        "bg release 70,250", "bg wheel 70,250 2"}));
}

TEST(Dispatch, ReleaseOutsideStillReachesCapturedControlAndEndsTheEdit) {
  DispatchBench b;
  b.graphics.DispatchPress(40, 230, kLeft);
  b.graphics.DispatchDrag(300, 900, kLeft);
  b.graphics.DispatchRelease(300, 900, kLeft);
  EXPECT_EQ(b.log, (Log{"one press 40,230", "one drag 300,900 260 670", "one release 300,900"}));
  EXPECT_EQ(b.plug.edits, (Log{"begin 0", "end 0"}));
  EXPECT_EQ(b.graphics.CaptureIndex(), -1);
  EXPECT_EQ(b.graphics.LastMouseX(), -1);
  EXPECT_EQ(b.graphics.LastMouseY(), -1);
}

TEST(Dispatch, OnlyDistinctPositionsProduceDrags) {
  DispatchBench b;
  b.graphics.DispatchPress(40, 230, kLeft);
  b.graphics.DispatchDrag(40, 230, kLeft); // where the press was
  b.graphics.DispatchDrag(40, 220, kLeft);
  b.graphics.DispatchDrag(40, 220, kLeft);
  b.graphics.DispatchDrag(45, 221, kLeft);
  EXPECT_EQ(b.log, (Log{"one press 40,230", "one drag 40,220 0 -10", "one drag 45,221 5 1"}));
}

TEST(Dispatch, DragWithoutCaptureGoesNowhere) {
  DispatchBench b;
  b.graphics.DispatchDrag(40, 230, kLeft);
  b.graphics.DispatchPress(500, 500, kLeft); // misses everything
  b.graphics.DispatchDrag(40, 220, kLeft);
  EXPECT_TRUE(b.log.empty());
}

TEST(Dispatch, Vst3RightPressOnParameterControlOpensHostMenu) {
  DispatchBench b(kFormatVST3);
  b.graphics.DispatchPress(40, 230, kRight);
  ASSERT_EQ(b.plug.contextMenus.size(), 1u);
  EXPECT_EQ(b.plug.contextMenus[0], std::make_tuple(0, 40, 230));
  EXPECT_TRUE(b.log.empty());
  EXPECT_TRUE(b.plug.edits.empty());
  EXPECT_EQ(b.graphics.CaptureIndex(), -1);
  EXPECT_EQ(b.graphics.LastMouseX(), -1);

  // The background has no parameter: it gets the press as usual; so does a
  // left press on the knob.
  b.graphics.DispatchPress(10, 10, kRight);
  b.graphics.DispatchPress(40, 230, kLeft);
  EXPECT_EQ(b.log, (Log{"bg press 10,10", "one press 40,230"}));
  EXPECT_EQ(b.plug.edits, Log{"begin 0"});
  EXPECT_EQ(b.plug.contextMenus.size(), 1u);
}

TEST(Dispatch, Vst2RightPressBeginsEditAndPresses) {
  DispatchBench b(kFormatVST2);
  b.graphics.DispatchPress(40, 230, kRight);
  EXPECT_TRUE(b.plug.contextMenus.empty());
  EXPECT_EQ(b.plug.edits, Log{"begin 0"});
  EXPECT_EQ(b.log, Log{"one press 40,230"});
  EXPECT_EQ(b.graphics.CaptureIndex(), 1);
}

TEST(Dispatch, EveryEndEditClosesABeginEdit) {
  // The window's double-click sequence: press, release, double press, release.
  DispatchBench vst2(kFormatVST2);
  vst2.graphics.DispatchPress(40, 230, kLeft);
  vst2.graphics.DispatchRelease(40, 230, kLeft);
  vst2.graphics.DispatchDoublePress(40, 230, kLeft);
  vst2.graphics.DispatchRelease(40, 230, kLeft);
  EXPECT_EQ(vst2.plug.edits, (Log{"begin 0", "end 0"}));

  // A VST3 right press goes to the host's menu; its release ends nothing.
  DispatchBench vst3(kFormatVST3);
  vst3.graphics.DispatchPress(40, 230, kRight);
  vst3.graphics.DispatchRelease(40, 230, kRight);
  EXPECT_TRUE(vst3.plug.edits.empty());

  // A press whose release was lost is ended before the next edit begins.
  DispatchBench lost;
  lost.graphics.DispatchPress(40, 230, kLeft);
  lost.graphics.DispatchPress(40, 230, kLeft);
  lost.graphics.DispatchRelease(40, 230, kLeft);
  EXPECT_EQ(lost.plug.edits, (Log{"begin 0", "end 0", "begin 0", "end 0"}));
}

TEST(Dispatch, DoublePressWithoutEditsOrAsAPress) {
  DispatchBench b;
  EXPECT_FALSE(b.graphics.DispatchDoublePress(40, 230, kLeft));
  EXPECT_EQ(b.log, Log{"one double 40,230"});
  EXPECT_EQ(b.graphics.CaptureIndex(), -1);

  b.Control(1)->SetDoubleAsPress(true);
  EXPECT_TRUE(b.graphics.DispatchDoublePress(41, 231, kLeft));
  EXPECT_EQ(b.log.back(), "one press 41,231");
  EXPECT_EQ(b.graphics.CaptureIndex(), 1);
  EXPECT_TRUE(b.plug.edits.empty());
  EXPECT_FALSE(b.graphics.DispatchDoublePress(500, 500, kLeft));
  EXPECT_EQ(b.graphics.CaptureIndex(), -1);
}

TEST(Dispatch, KeysGoToTheControlOrTheKeyCatcher) {
  DispatchBench b;
  EXPECT_TRUE(b.graphics.DispatchKey(40, 230, 7));
  static_cast<ProbeControl*>(b.Control(1))->takesKeys = false;
  EXPECT_FALSE(b.graphics.DispatchKey(40, 230, 8));
  // Background or nothing under the pointer: without a catcher, unhandled.
  EXPECT_FALSE(b.graphics.DispatchKey(10, 10, 9));
  EXPECT_FALSE(b.graphics.DispatchKey(-5, -5, 9));
  b.graphics.SetKeyCatcher(new ProbeControl(b.log, "catcher", &b.plug, IBox()));
  EXPECT_TRUE(b.graphics.DispatchKey(10, 10, 10));
  EXPECT_TRUE(b.graphics.DispatchKey(-5, -5, 11));
  EXPECT_EQ(b.log, (Log{"one key 40,230 7", "one key 40,230 8", "catcher key 10,10 10",
                        "catcher key -5,-5 11"}));
}

TEST(Dispatch, HoverIsOffUnlessEnabled) {
  DispatchBench b;
  EXPECT_FALSE(b.graphics.DispatchHover(40, 230, IMouseKeys()));
  EXPECT_TRUE(b.log.empty());
  EXPECT_EQ(b.graphics.HoverIndex(), -1);

  b.graphics.SetHandleHover(true);
  EXPECT_TRUE(b.graphics.DispatchHover(40, 230, IMouseKeys()));
  EXPECT_TRUE(b.graphics.DispatchHover(70, 250, IMouseKeys()));
  EXPECT_EQ(b.graphics.HoverIndex(), 2);
  b.Control(2)->SetGreyed(true);
  EXPECT_TRUE(b.graphics.DispatchHover(71, 251, IMouseKeys()));
  b.Control(2)->SetHoverWhenGreyed(true);
  EXPECT_TRUE(b.graphics.DispatchHover(72, 252, IMouseKeys()));
  EXPECT_TRUE(b.graphics.DispatchHover(-1, -1, IMouseKeys()));
  b.graphics.DispatchLeave();
  EXPECT_EQ(b.graphics.HoverIndex(), -1);
  EXPECT_EQ(b.log, (Log{"one hover 40,230", "two hover 70,250", "one leave", "one hover 71,251",
                        "two leave", "two hover 72,252", "one leave", "bg leave", "one leave",
                        "two leave"}));
}

TEST(DispatchBadInput, NoControlsMeansNothingHappens) {
  GraphicsTestPlug plug;
  ScriptedGraphics graphics(&plug, 135, 662);
  const int coords[] = {0, 10, -1, INT_MIN, INT_MAX, 100000};
  for (int x : coords) {
    for (int y : coords) {
      graphics.DispatchPress(x, y, kLeft);
      graphics.DispatchDrag(x, y, kLeft);
      EXPECT_FALSE(graphics.DispatchDoublePress(x, y, kLeft));
      graphics.DispatchWheel(x, y, IMouseKeys(), 3);
      EXPECT_FALSE(graphics.DispatchKey(x, y, 1));
      graphics.DispatchRelease(x, y, kRight);
      EXPECT_EQ(graphics.CaptureIndex(), -1);
    }
  }
  graphics.SetHandleHover(true);
  EXPECT_TRUE(graphics.DispatchHover(INT_MAX, INT_MIN, IMouseKeys()));
  graphics.DispatchLeave();
  EXPECT_TRUE(plug.edits.empty());
  EXPECT_TRUE(plug.notified.empty());
}

TEST(DispatchBadInput, CoordinatesOutsideTheEditorHitNothing) {
  DispatchBench b;
  const std::pair<int, int> outside[] = {{-1, -1},           {135, 10},          {10, 692},
                                         {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {-100000, 300}};
  for (const auto& p : outside) {
    b.graphics.DispatchPress(p.first, p.second, kLeft);
    EXPECT_EQ(b.graphics.CaptureIndex(), -1);
    b.graphics.DispatchDrag(p.first, p.second, kLeft);
    b.graphics.DispatchWheel(p.first, p.second, IMouseKeys(), -7);
    b.graphics.DispatchDoublePress(p.first, p.second, kLeft);
    b.graphics.DispatchRelease(p.first, p.second, kLeft);
  }
  EXPECT_TRUE(b.log.empty());
  EXPECT_TRUE(b.plug.edits.empty());
}

TEST(DispatchBadInput, ExtremeDragOfACapturedKnobClampsWithoutOverflow) {
  GraphicsTestPlug plug;
  ScriptedGraphics graphics(&plug, 135, 662);
  auto strip = MakeStrip(73, 69, 61);
  auto* knob = new IKnobMultiControl(&plug, 32, 219, 0, ImageOf(strip.get(), 61));
  graphics.AddControl(knob);
  knob->SetValueFromHost(0.5);
  graphics.DispatchPress(40, 230, kLeft);
  graphics.DispatchDrag(INT_MAX, INT_MIN, kLeft); // far up
  EXPECT_EQ(knob->Value(), 1.0);
  graphics.DispatchDrag(INT_MIN, INT_MAX, kLeft); // far down
  EXPECT_EQ(knob->Value(), 0.0);
  graphics.DispatchRelease(INT_MIN, INT_MAX, kLeft);
  EXPECT_EQ(plug.edits, (Log{"begin 0", "end 0"}));
  EXPECT_EQ(plug.GetParam(0)->Value(), 0.0);
}

} // namespace
