// The built VST2 module's editor in a real window, as a Windows DAW opens it:
// LoadLibrary, the entry point, effEditOpen with the host's HWND, messages
// posted to the editor's child window, pixels read back from the screen.
#include "EditorWindowSupport.h"
#include "Vst2Instance.h"
#include "Vst2Module.h"
#include "Vst2RecordingHost.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <memory>
#include <thread>
#include <vector>

#ifndef TOLVEN_VST2_MODULE
#error "TOLVEN_VST2_MODULE must name the module under test"
#endif

namespace {

using namespace editorwin;

Vst2Module& Module() {
  static Vst2Module module(TOLVEN_VST2_MODULE);
  return module;
}

HMODULE ModuleHandleOfPlugin() {
  return ModuleOf(reinterpret_cast<const void*>(Module().EntryPoint()));
}

// How long the first paint may take: the editor paints on its 40 ms timer.
constexpr int kSettle = 400;

struct Instance {
  Vst2RecordingHost host;
  Vst2Instance fx{host.Instantiate(Module().EntryPoint())};

  Instance() {
    fx.Open();
    fx.SetSampleRate(44100.0f);
    fx.SetBlockSize(512);
  }
  VstIntPtr Open(HWND parent) { return fx.Dispatch(effEditOpen, 0, 0, parent); }
  VstIntPtr Close() { return fx.Dispatch(effEditClose); }
  std::vector<double> Values() {
    std::vector<double> values;
    for (int i = 0; i < fx.NumParams(); ++i)
      values.push_back(fx.GetParameter(i));
    return values;
  }
  // The opcodes of the gesture calls (begin, automate, end) the plug-in
  // made for parameter index, in order.
  std::vector<VstInt32> Gestures(int index) {
    std::vector<VstInt32> out;
    for (const Vst2HostCall& call : host.Calls())
      if ((call.opcode == audioMasterBeginEdit || call.opcode == audioMasterAutomate ||
           call.opcode == audioMasterEndEdit) &&
          call.index == index)
        out.push_back(call.opcode);
    return out;
  }
  // Stereo audio through processReplacing.
  void Process(int frames, float amplitude) {
    std::vector<float> l(static_cast<std::size_t>(frames)), r(l.size()), ol(l.size()),
        orr(l.size());
    for (int n = 0; n < frames; ++n)
      l[n] = r[n] = amplitude * static_cast<float>(std::sin(n * 0.05));
    float* in[2] = {l.data(), r.data()};
    float* out[2] = {ol.data(), orr.data()};
    fx.ProcessFloat(in, out, frames);
  }
};

// The gesture a drag makes: one begin, automation, one end, in that order.
void ExpectOneGesture(const std::vector<VstInt32>& calls) {
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front(), audioMasterBeginEdit);
  EXPECT_EQ(calls.back(), audioMasterEndEdit);
  for (std::size_t i = 1; i + 1 < calls.size(); ++i)
    EXPECT_EQ(calls[i], audioMasterAutomate) << "call " << i;
}

TEST(Vst2EditorWindow, OpensAsChildOfTheHostWindowAndPaintsTheSnapshot) {
  HostWindow host;
  Instance plug;
  ASSERT_EQ(plug.Open(host.Handle()), 1);
  HWND editor = host.Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(GetParent(editor), host.Handle());
  EXPECT_TRUE(GetWindowLongA(editor, GWL_STYLE) & WS_CHILD);
  RECT r;
  GetClientRect(editor, &r);
  EXPECT_EQ(r.right - r.left, 135);
  EXPECT_EQ(r.bottom - r.top, 662);
  Pump(kSettle);

  const Picture shown = Capture(editor);
  const Picture expected = Reference(plug.Values(), 1.0);
  ASSERT_EQ(shown.width, 135);
  ASSERT_EQ(shown.height, 662);
  EXPECT_EQ(Differences(shown, expected), 0);
  if (Differences(shown, expected) != 0) {
    SavePng(shown, "vst2-editor-shown.png");
    SavePng(expected, "vst2-editor-expected.png");
  }
  EXPECT_EQ(plug.Close(), 1);
  EXPECT_FALSE(IsWindow(editor));
}

TEST(Vst2EditorWindow, FollowsHostAutomationAndTheMeter) {
  HostWindow host;
  Instance plug;
  const std::vector<IBox> boxes = ControlBoxes();
  ASSERT_EQ(boxes.size(), 8u);
  // A second setting, set before opening.
  plug.fx.SetParameter(0, 0.9f);
  plug.fx.SetParameter(4, 0.25f);
  ASSERT_EQ(plug.Open(host.Handle()), 1);
  HWND editor = host.Editor();
  Pump(kSettle);
  const Picture before = Capture(editor);
  EXPECT_EQ(Differences(before, Reference(plug.Values(), 1.0)), 0);

  // Automation while open: only the knob moves, and on the next tick.
  plug.fx.SetParameter(1, 0.1f);
  Pump(kSettle);
  const Picture automated = Capture(editor);
  EXPECT_GT(Differences(before, automated, boxes[2]), 0);
  EXPECT_EQ(Differences(automated, Reference(plug.Values(), 1.0)), 0);

  // Audio moves the needle (it starts fully right and falls with silence).
  plug.fx.Resume();
  for (int i = 0; i < 40; ++i)
    plug.Process(512, 0.0f);
  Pump(kSettle);
  const Picture metered = Capture(editor);
  EXPECT_GT(Differences(automated, metered, boxes[7]), 0);
  EXPECT_EQ(Differences(automated, metered, IBox(0, boxes[7].B + 1, 135, 662)), 0);
  plug.Close();
}

TEST(Vst2EditorWindow, DragTurnsTheKnobAsOneGesture) {
  HostWindow host;
  Instance plug;
  const IBox knob = ControlBoxes()[1]; // high gain, parameter 0
  ASSERT_EQ(plug.Open(host.Handle()), 1);
  HWND editor = host.Editor();
  Pump(kSettle);
  plug.host.Clear();
  const POINT c = Centre(knob);
  PostMouse(editor, WM_LBUTTONDOWN, c.x, c.y, MK_LBUTTON);
  for (int step = 1; step <= 4; ++step)
    PostMouse(editor, WM_MOUSEMOVE, c.x, c.y - 5 * step, MK_LBUTTON);
  PostMouse(editor, WM_LBUTTONUP, c.x, c.y - 20, 0);
  Pump(100);
  ExpectOneGesture(plug.Gestures(0));
  // 20 pixels up on a 69-pixel knob at gearing 4.
  EXPECT_NEAR(plug.fx.GetParameter(0), 0.5 + 20.0 / 69.0 / 4.0, 1e-6);
  EXPECT_EQ(GetCapture(), nullptr);

  // The window shows the new value after the next tick.
  Pump(kSettle);
  EXPECT_EQ(Differences(Capture(editor), Reference(plug.Values(), 1.0)), 0);
  plug.Close();
}

TEST(Vst2EditorWindow, WheelDoubleClickAndSwitch) {
  HostWindow host;
  Instance plug;
  const std::vector<IBox> boxes = ControlBoxes();
  ASSERT_EQ(plug.Open(host.Handle()), 1);
  HWND editor = host.Editor();
  Pump(50);

  const POINT mid = Centre(boxes[2]); // parameter 1
  PostWheel(editor, mid.x, mid.y, 120);
  Pump(50);
  EXPECT_NEAR(plug.fx.GetParameter(1), 0.51, 1e-6);
  PostWheel(editor, mid.x, mid.y, 60); // half a notch: nothing
  PostWheel(editor, mid.x, mid.y, -60);
  Pump(50);
  EXPECT_NEAR(plug.fx.GetParameter(1), 0.51, 1e-6);
  PostWheel(editor, mid.x, mid.y, -240);
  Pump(50);
  EXPECT_NEAR(plug.fx.GetParameter(1), 0.49, 1e-6);

  // A double click returns the knob to its default.
  plug.host.Clear();
  PostMouse(editor, WM_LBUTTONDBLCLK, mid.x, mid.y, MK_LBUTTON);
  PostMouse(editor, WM_LBUTTONUP, mid.x, mid.y, 0);
  Pump(50);
  EXPECT_NEAR(plug.fx.GetParameter(1), 0.5, 1e-6);
  EXPECT_EQ(plug.host.CountOf(audioMasterAutomate), 1u);

  // The switch toggles bypass, each press once.
  const POINT sw = Centre(boxes[6]);
  PostMouse(editor, WM_LBUTTONDOWN, sw.x, sw.y, MK_LBUTTON);
  PostMouse(editor, WM_LBUTTONUP, sw.x, sw.y, 0);
  Pump(50);
  EXPECT_EQ(plug.fx.GetParameter(5), 1.0f);
  PostMouse(editor, WM_LBUTTONDOWN, sw.x, sw.y, MK_LBUTTON);
  PostMouse(editor, WM_LBUTTONUP, sw.x, sw.y, 0);
  Pump(50);
  EXPECT_EQ(plug.fx.GetParameter(5), 0.0f);

  // Under VST2 a right press turns the knob's gesture on like a left one.
  plug.host.Clear();
  PostMouse(editor, WM_RBUTTONDOWN, mid.x, mid.y, MK_RBUTTON);
  PostMouse(editor, WM_RBUTTONUP, mid.x, mid.y, 0);
  Pump(50);
  EXPECT_EQ(plug.host.CountOf(audioMasterBeginEdit), 1u);
  EXPECT_EQ(plug.host.CountOf(audioMasterEndEdit), 1u);
  plug.Close();
}

TEST(Vst2EditorWindow, KeysTheEditorDoesNotTakeReachTheHostWindow) {
  HostWindow host;
  Instance plug;
  ASSERT_EQ(plug.Open(host.Handle()), 1);
  HWND editor = host.Editor();
  PostMessageA(editor, WM_KEYDOWN, VK_F5, 0x003F0001);
  PostMessageA(editor, WM_KEYUP, VK_F5, static_cast<LPARAM>(0xC03F0001u));
  PostMessageA(editor, WM_KEYDOWN, VK_SPACE, 0x00390001);
  Pump(50);
  const std::vector<WPARAM> down = host.KeysDown();
  ASSERT_EQ(down.size(), 2u);
  EXPECT_EQ(down[0], static_cast<WPARAM>(VK_F5));
  EXPECT_EQ(down[1], static_cast<WPARAM>(VK_SPACE));
  ASSERT_EQ(host.KeysUp().size(), 1u);
  EXPECT_EQ(host.KeysUp()[0], static_cast<WPARAM>(VK_F5));
  plug.Close();
}

TEST(Vst2EditorWindow, TwoEditorsShareOneClassRegistration) {
  const HMODULE module = ModuleHandleOfPlugin();
  ASSERT_NE(module, nullptr);
  EXPECT_FALSE(EditorClassRegistered(module));
  HostWindow hostA(40, 30), hostB(380, 30);
  Instance a, b;
  ASSERT_EQ(a.Open(hostA.Handle()), 1);
  ASSERT_EQ(b.Open(hostB.Handle()), 1);
  EXPECT_TRUE(EditorClassRegistered(module));
  a.Close();
  EXPECT_TRUE(EditorClassRegistered(module));
  // The other editor still paints.
  Pump(kSettle);
  EXPECT_EQ(Differences(Capture(hostB.Editor()), Reference(b.Values(), 1.0)), 0);
  b.Close();
  EXPECT_FALSE(EditorClassRegistered(module));
}

TEST(Vst2EditorWindow, OpeningTwiceKeepsThePlaceAndSize) {
  HostWindow host;
  Instance plug;
  ASSERT_EQ(plug.Open(host.Handle()), 1);
  HWND first = host.Editor();
  SetWindowPos(first, nullptr, 7, 11, 120, 600, SWP_NOZORDER | SWP_NOACTIVATE);
  ASSERT_EQ(plug.Open(host.Handle()), 1);
  HWND second = host.Editor();
  EXPECT_FALSE(IsWindow(first));
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(FindWindowExA(host.Handle(), second, kEditorClass, kEditorTitle), nullptr);
  RECT r;
  GetWindowRect(second, &r);
  MapWindowPoints(HWND_DESKTOP, host.Handle(), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 7);
  EXPECT_EQ(r.top, 11);
  EXPECT_EQ(r.right - r.left, 120);
  EXPECT_EQ(r.bottom - r.top, 600);
  plug.Close();
  EXPECT_FALSE(EditorClassRegistered(ModuleHandleOfPlugin()));
}

TEST(Vst2EditorWindow, BadParentsOpenNothing) {
  Instance plug;
  const HMODULE module = ModuleHandleOfPlugin();
  EXPECT_EQ(plug.fx.Dispatch(effEditOpen, 0, 0, nullptr), 0);
  int notAWindow = 0;
  EXPECT_EQ(plug.fx.Dispatch(effEditOpen, 0, 0, &notAWindow), 0);
  EXPECT_EQ(plug.fx.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);
  EXPECT_FALSE(EditorClassRegistered(module));
  // Closing what never opened, twice, and after a suspend: harmless.
  EXPECT_EQ(plug.Close(), 1);
  EXPECT_EQ(plug.Close(), 1);
  plug.fx.Resume();
  plug.fx.Suspend();
  EXPECT_EQ(plug.Close(), 1);
  // And the editor still opens afterwards.
  HostWindow host;
  EXPECT_EQ(plug.Open(host.Handle()), 1);
  EXPECT_TRUE(EditorClassRegistered(module));
  plug.fx.Suspend();
  EXPECT_EQ(plug.Close(), 1);
  EXPECT_EQ(plug.Close(), 1);
  EXPECT_FALSE(EditorClassRegistered(module));
}

TEST(Vst2EditorWindow, HostDestroyingItsWindowFirst) {
  const HMODULE module = ModuleHandleOfPlugin();
  Instance plug;
  {
    HostWindow host;
    ASSERT_EQ(plug.Open(host.Handle()), 1);
    Pump(100);
    HWND editor = host.Editor();
    host.Destroy();
    EXPECT_FALSE(IsWindow(editor));
    Pump(100); // no timer may fire into the dead window
  }
  EXPECT_EQ(plug.Close(), 1);
  EXPECT_FALSE(EditorClassRegistered(module));
  // A later open works and paints.
  HostWindow again;
  ASSERT_EQ(plug.Open(again.Handle()), 1);
  Pump(kSettle);
  EXPECT_EQ(Differences(Capture(again.Editor()), Reference(plug.Values(), 1.0)), 0);
  // The host forgets effEditClose altogether: effClose closes the window.
  HWND editor = again.Editor();
  plug.fx.Close();
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_FALSE(EditorClassRegistered(module));
}

TEST(Vst2EditorWindow, ClosingLeavesNoWindowOrGdiObjectBehind) {
  const HMODULE module = ModuleHandleOfPlugin();
  HostWindow host;
  Instance plug;
  const DWORD gdiBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  const DWORD userBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
  for (int round = 0; round < 5; ++round) {
    ASSERT_EQ(plug.Open(host.Handle()), 1);
    Pump(60);
    HWND editor = host.Editor();
    ASSERT_NE(editor, nullptr);
    plug.Close();
    EXPECT_FALSE(IsWindow(editor));
    EXPECT_EQ(host.Editor(), nullptr);
  }
  EXPECT_FALSE(EditorClassRegistered(module));
  // (Wine answers 0 for both counts; on Windows they are real.)
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
  EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), userBefore);
}

TEST(Vst2EditorWindow, AudioOnAnotherThreadWhileTheWindowPaints) {
  HostWindow host;
  Instance plug;
  plug.fx.Resume();
  ASSERT_EQ(plug.Open(host.Handle()), 1);
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    int n = 0;
    while (!stop.load()) {
      plug.Process(256, (n / 20) % 2 ? 0.9f : 0.0f);
      // Automation from the audio thread, as some hosts send it.
      plug.fx.SetParameter(3, static_cast<float>((n % 100) / 100.0));
      ++n;
      ++blocks;
    }
  });
  Pump(1000);
  stop = true;
  audio.join();
  EXPECT_GT(blocks.load(), 10);
  // Everything settles into what the snapshot draws for the final state.
  Pump(kSettle);
  HWND editor = host.Editor();
  ASSERT_NE(editor, nullptr);
  const Picture shown = Capture(editor);
  const IBox meter = ControlBoxes()[7];
  EXPECT_EQ(Differences(shown, Reference(plug.Values(), 1.0), IBox(0, meter.B + 1, 135, 662)), 0);
  plug.Close();
}

} // namespace
