#include "GraphicsTestSupport.h"

#include "IKnobMultiControl.h"
#include "ISwitchControl.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// The channel strip's editor shape with made-up strips: background, five
// knobs for parameters 0..4, the switch for 5, a meter without parameter.
struct StripEditor {
  GraphicsTestPlug plug;
  std::unique_ptr<LICE_MemBitmap> back = MakeStrip(135, 692, 1);
  std::unique_ptr<LICE_MemBitmap> knob = MakeStrip(73, 69, 61);
  std::unique_ptr<LICE_MemBitmap> button = MakeStrip(79, 44, 2);
  std::unique_ptr<LICE_MemBitmap> meter = MakeStrip(127, 67, 121);
  ScriptedGraphics* graphics = new ScriptedGraphics(&plug, 135, 662);
  int meterIndex = -1;

  StripEditor() {
    graphics->SetBackground(
        new IBitmapControl(&plug, 0, 0, -1, ImageOf(back.get(), 1), IBlend::BlendReplace));
    const int ys[] = {219, 302, 390, 479, 107};
    for (int p = 0; p < 5; ++p)
      graphics->AddControl(new IKnobMultiControl(&plug, 32, ys[p], p, ImageOf(knob.get(), 61)));
    graphics->AddControl(new ISwitchControl(&plug, 28, 594, 5, ImageOf(button.get(), 2)));
    meterIndex =
        graphics->AddControl(new IBitmapControl(&plug, 5, 4, -1, ImageOf(meter.get(), 121)));
  }
  IControl* Control(int i) { return graphics->GetControl(i); }
};

TEST(AttachEditor, PushesEveryParameterAndFixesDefaults) {
  StripEditor e;
  e.plug.GetParam(0)->SetValue(0.25);
  e.plug.GetParam(3)->SetValue(12.0);
  e.plug.GetParam(5)->SetValue(1.0);
  EXPECT_EQ(e.graphics->Surface(), nullptr);
  e.plug.AttachEditor(e.graphics);
  EXPECT_EQ(e.plug.GetEditor(), e.graphics);
  const double expected[] = {0.25, 0.5, 0.5, 0.75, 0.5, 1.0};
  for (int p = 0; p < 6; ++p) {
    EXPECT_DOUBLE_EQ(e.Control(p + 1)->Value(), expected[p]) << p;
    EXPECT_DOUBLE_EQ(e.Control(p + 1)->DefaultValue(), expected[p]) << p;
  }
  // Controls without a parameter receive nothing.
  EXPECT_EQ(e.Control(0)->DefaultValue(), -1.0);
  EXPECT_EQ(e.Control(7)->DefaultValue(), -1.0);
  EXPECT_EQ(e.meterIndex, 7);
  ASSERT_NE(e.graphics->Surface(), nullptr);
  EXPECT_EQ(e.graphics->Surface()->Width(), 135);
  EXPECT_EQ(e.graphics->Surface()->Height(), 662);
  ASSERT_NE(e.graphics->Scratch(), nullptr);
  EXPECT_EQ(e.graphics->Scratch()->Width(), 0);
  // Attaching told the host nothing.
  EXPECT_TRUE(e.plug.notified.empty());
}

TEST(SetParamFromHost, MovesOnlyTheBoundControls) {
  StripEditor e;
  e.plug.AttachEditor(e.graphics);
  for (int i = 0; i < e.graphics->NumControls(); ++i)
    e.Control(i)->MarkClean();
  e.graphics->SetParamFromHost(4, 12.0, false); // real value: 12 dB of -24..24
  for (int i = 0; i < e.graphics->NumControls(); ++i)
    EXPECT_EQ(e.Control(i)->NeedsRedraw(), i == 5) << i;
  EXPECT_DOUBLE_EQ(e.Control(5)->Value(), 0.75);
  e.graphics->SetParamFromHost(4, 99.0, false); // clamped into the range
  EXPECT_DOUBLE_EQ(e.Control(5)->Value(), 1.0);
  e.graphics->SetParamFromHost(1, 0.2, true);
  EXPECT_DOUBLE_EQ(e.Control(2)->Value(), 0.2);
  // Unknown parameters and controls are ignored.
  e.graphics->SetParamFromHost(42, 1.0, false);
  e.graphics->SetParamFromHost(-1, 1.0, true);
  e.graphics->SetControlValueFromHost(-1, 0.3);
  e.graphics->SetControlValueFromHost(8, 0.3);
  e.graphics->SetControlValueFromHost(7, 0.3);
  EXPECT_DOUBLE_EQ(e.Control(7)->Value(), 0.3);
  EXPECT_EQ(e.Control(0)->Value(), 0.0);
}

TEST(SetParamFromHost, FirstMatchingExtraBindingOfEachControlGetsTheValue) {
  GraphicsTestPlug plug;
  ScriptedGraphics graphics(&plug, 100, 100);
  std::vector<std::string> log;
  auto* a = new ProbeControl(log, "a", &plug, IBox(0, 0, 10, 10), 2);
  a->AddAuxBinding(3);
  a->AddAuxBinding(2);
  a->AddAuxBinding(2);
  auto* b = new ProbeControl(log, "b", &plug, IBox(0, 0, 10, 10), 0);
  b->AddAuxBinding(2);
  graphics.AddControl(a);
  graphics.AddControl(b);
  graphics.SetParamFromHost(2, 0.4, true);
  EXPECT_EQ(a->Value(), 0.4);
  EXPECT_EQ(a->AuxBinding(0)->value, 0.0);
  EXPECT_EQ(a->AuxBinding(1)->value, 0.4);
  EXPECT_EQ(a->AuxBinding(2)->value, 0.0);
  EXPECT_EQ(b->Value(), 0.0);
  EXPECT_EQ(b->AuxBinding(0)->value, 0.4);
}

TEST(HeadlessWindow, OpeningPaintsEverythingOnTheFirstTick) {
  StripEditor e;
  e.plug.AttachEditor(e.graphics);
  EXPECT_FALSE(e.graphics->IsEditorOpen());
  EXPECT_FALSE(e.graphics->Tick());                       // no window, no timer
  e.graphics->SetControlValueFromHost(e.meterIndex, 0.0); // the meter's first value
  for (int i = 0; i < e.graphics->NumControls(); ++i)
    e.Control(i)->MarkClean();
  int hostWindow = 0;
  EXPECT_EQ(e.graphics->OpenEditorWindow(&hostWindow), nullptr); // nothing to embed
  EXPECT_FALSE(e.graphics->IsEditorOpen());
  void* handle = e.graphics->OpenEditorWindow(nullptr);
  ASSERT_NE(handle, nullptr);
  EXPECT_TRUE(e.graphics->IsEditorOpen());
  EXPECT_EQ(e.graphics->EditorWindowHandle(), handle);
  EXPECT_TRUE(e.graphics->Tick());
  // The background reaches below the window: the painted area is clipped.
  EXPECT_EQ(e.graphics->LastPresented(), IBox(0, 0, 135, 662));
  LICE_IBitmap* window = e.graphics->Window();
  for (int y = 0; y < 662; y += 13)
    for (int x = 0; x < 135; x += 7)
      ASSERT_EQ(PixelAt(window, x, y), PixelAt(e.graphics->Surface(), x, y)) << x << "," << y;
  EXPECT_EQ(PixelAt(window, 50, 250), FrameColour(31)); // high knob at 0.5
  EXPECT_EQ(PixelAt(window, 2, 2), FrameColour(1));     // background
  EXPECT_FALSE(e.graphics->Tick());

  // A meter value paints just the meter on the next tick.
  e.graphics->SetControlValueFromHost(e.meterIndex, 1.0);
  EXPECT_TRUE(e.graphics->Tick());
  EXPECT_EQ(e.graphics->LastPresented(), IBox(5, 4, 132, 71));
  EXPECT_EQ(PixelAt(window, 60, 40), FrameColour(121));

  e.graphics->CloseEditorWindow();
  EXPECT_FALSE(e.graphics->IsEditorOpen());
  EXPECT_EQ(e.graphics->Window(), nullptr);
}

TEST(ResizeEditor, NewSizeDropsControlsAndTellsThePlugin) {
  StripEditor e;
  e.plug.AttachEditor(e.graphics);
  e.graphics->OpenEditorWindow(nullptr);
  e.graphics->DispatchPress(50, 250, IMouseKeys(true, false));
  e.graphics->ResizeEditor(135, 662); // unchanged: nothing happens
  EXPECT_EQ(e.graphics->NumControls(), 8);
  EXPECT_EQ(e.graphics->CaptureIndex(), 1);
  EXPECT_TRUE(e.plug.sizes.empty());

  e.graphics->ResizeEditor(200, 100);
  EXPECT_EQ(e.graphics->NumControls(), 0);
  EXPECT_EQ(e.graphics->CaptureIndex(), -1);
  EXPECT_EQ(e.graphics->Width(), 200);
  EXPECT_EQ(e.graphics->Surface()->Width(), 200);
  EXPECT_EQ(e.graphics->Surface()->Height(), 100);
  EXPECT_EQ(e.graphics->Window()->Width(), 200);
  ASSERT_EQ(e.plug.sizes.size(), 1u);
  EXPECT_EQ(e.plug.sizes[0], std::make_pair(200, 100));
  // The meter index the plug-in kept now points past the list: ignored.
  e.graphics->SetControlValueFromHost(e.meterIndex, 0.5);
  // The release reaches no control, but the edit its press began is closed.
  e.graphics->DispatchRelease(50, 250, IMouseKeys(true, false));
  EXPECT_EQ(e.plug.edits, (std::vector<std::string>{"begin 0", "end 0"}));
}

// The meter is written from the audio thread while the UI thread paints (run
// it in the sanitizer build): no value written during a paint is left
// unpainted, so the last one is what the window shows after the next tick.
TEST(Concurrency, MeterWrittenWhileTheEditorPaints) {
  StripEditor e;
  e.plug.AttachEditor(e.graphics);
  e.graphics->OpenEditorWindow(nullptr);
  std::atomic<bool> started{false}, stop{false};
  std::thread audio([&] {
    started = true;
    double level = 1.0;
    for (long n = 0; !stop || n < 20000; ++n) {
      level = level * 0.9999 + (n % 1000 == 0 ? 0.5 : 0.0);
      e.graphics->SetControlValueFromHost(e.meterIndex, level);
    }
    e.graphics->SetControlValueFromHost(e.meterIndex, 0.5);
  });
  while (!started)
    std::this_thread::yield();
  for (int tick = 0; tick < 300; ++tick)
    e.graphics->Tick();
  stop = true;
  audio.join();
  auto* meter = static_cast<IBitmapControl*>(e.Control(e.meterIndex));
  e.graphics->Tick();
  EXPECT_EQ(meter->Value(), 0.5);
  EXPECT_EQ(PixelAt(e.graphics->Window(), 60, 40), FrameColour(61));
}

} // namespace
