// The built VST2 module's editor in a real X11 window, as a Linux host shows
// it: a top-level window of this program is the parent handed to
// effEditOpen, effEditIdle drives the editor, and input comes from XTest as
// if a user moved the mouse. Runs under Xvfb; without a display every case
// is skipped.
#include "Vst2Instance.h"
#include "Vst2Module.h"
#include "Vst2RecordingHost.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool, ...) would clash with it.
#include "X11TestHost.h"

#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#if !defined(TOLVEN_VST2_MODULE)
#error "TOLVEN_VST2_MODULE must name the module"
#endif

namespace {

using namespace x11test;

constexpr int kHighGain = 0;
constexpr int kBypass = 5;

Vst2Module& Module() {
  static Vst2Module module(TOLVEN_VST2_MODULE);
  return module;
}

// One plug-in instance with the recording host.
struct Editor {
  Vst2RecordingHost host;
  Vst2Instance fx{host.Instantiate(Module().FindEntry("VSTPluginMain"))};

  Editor() {
    fx.Start(44100.0f, 256);
  }
  VstIntPtr Open(::Window parent) {
    return fx.Dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(parent)));
  }
  VstIntPtr Close() { return fx.Dispatch(effEditClose); }
  // What a host's UI loop does between frames, for about ms milliseconds.
  void Idle(int ms) {
    IdleFor([this] { fx.Dispatch(effEditIdle); }, ms);
  }
  // Idles until done() holds; false after three seconds.
  bool IdleUntil(const std::function<bool()>& done) {
    return x11test::IdleUntil([this] { fx.Dispatch(effEditIdle); }, done);
  }
  // Idles until the host's window shows picture; false after three seconds.
  bool Shows(const XHost& x, const std::vector<uint32_t>& picture) {
    return IdleUntil([&] { return Mismatches(x.Pixels(), picture) == 0; });
  }
  // A click of the left button at an editor point.
  void Click(XHost& x, int px, int py) {
    x.MoveTo(px, py);
    Idle(10);
    x.Button(1, true);
    Idle(10);
    x.Button(1, false);
    Idle(10);
  }
};

TEST(Vst2EditorX11, OpensInTheHostWindowAndShowsTheEditorAsTheSnapshotDraws) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Editor e;
  ASSERT_NE(e.fx.Flags() & effFlagsHasEditor, 0);
  ASSERT_EQ(e.Open(x.top), 1);
  const ::Window editor = x.Editor();
  ASSERT_NE(editor, 0u);
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(x.display, editor, &a));
  EXPECT_EQ(a.x, 0);
  EXPECT_EQ(a.y, 0);
  EXPECT_EQ(a.width, kWidth);
  EXPECT_EQ(a.height, kHeight);
  EXPECT_EQ(a.map_state, IsViewable);

  const std::vector<uint32_t> atRest = Reference("--meter 1");
  ASSERT_EQ(atRest.size(), static_cast<size_t>(kWidth * kHeight));
  // Painted by the open itself, before any idle call.
  EXPECT_EQ(Mismatches(x.Pixels(), atRest), 0) << FirstDifference(x.Pixels(), atRest);
  // Covered and uncovered: the exposed part is painted again.
  XSetWindowBackground(x.display, editor, 0xFF00FF);
  XClearArea(x.display, editor, 10, 200, 50, 50, False);
  XSync(x.display, False);
  ASSERT_GT(Mismatches(x.Pixels(), atRest), 0);
  XClearArea(x.display, editor, 10, 200, 50, 50, True); // and the editor told so
  EXPECT_TRUE(e.Shows(x, atRest)) << Mismatches(x.Pixels(), atRest) << " pixels differ, "
                                  << FirstDifference(x.Pixels(), atRest);

  // The host moves parameters; the window follows on the next ticks.
  e.fx.SetParameter(kHighGain, 0.75f);
  e.fx.SetParameter(kBypass, 1.0f);
  const std::vector<uint32_t> moved = Reference("--meter 1 --set 0=0.75 --set 5=1");
  ASSERT_GT(Mismatches(moved, atRest), 0);
  EXPECT_TRUE(e.Shows(x, moved)) << Mismatches(x.Pixels(), moved) << " pixels differ, "
                                 << FirstDifference(x.Pixels(), moved);
  EXPECT_EQ(e.Close(), 1);
  EXPECT_TRUE(x.Children().empty());
  EXPECT_EQ(gForeignErrors.load(), 0);
}

TEST(Vst2EditorX11, MeterMovesWhileAudioRunsOnAnotherThread) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Editor e;
  ASSERT_EQ(e.Open(x.top), 1);
  const std::vector<uint32_t> atRest = Reference("--meter 1");
  ASSERT_TRUE(e.Shows(x, atRest));

  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::vector<float> left(256), right(256), outL(256), outR(256);
    float* in[] = {left.data(), right.data()};
    float* out[] = {outL.data(), outR.data()};
    long long n = 0;
    while (!stop.load()) {
      for (int i = 0; i < 256; ++i, ++n)
        left[i] = right[i] = 0.9f * static_cast<float>(std::sin(0.0628 * static_cast<double>(n)));
      e.fx.ProcessFloat(in, out, 256);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  const auto meterDiffers = [&] { return MeterDiffers(x.Pixels(), atRest); };
  const bool moved = e.IdleUntil(meterDiffers);
  // Parameters keep arriving from the host meanwhile.
  for (int i = 0; i < 20; ++i) {
    e.fx.SetParameter(kHighGain, static_cast<float>(i) / 20.0f);
    e.Idle(5);
  }
  stop = true;
  audio.join();
  EXPECT_TRUE(moved);
  // Outside the meter the panel shows the last host value.
  e.fx.SetParameter(kHighGain, 0.25f);
  const std::vector<uint32_t> expected = Reference("--set 0=0.25");
  EXPECT_TRUE(e.IdleUntil([&] {
    const std::vector<uint32_t> now = x.Pixels();
    if (now.size() != expected.size()) return false;
    for (size_t i = kMeterB * kWidth; i < now.size(); ++i)
      if (now[i] != expected[i]) return false;
    return true;
  }));
}

TEST(Vst2EditorX11, MouseEditsReachTheHostInOrder) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Editor e;
  ASSERT_EQ(e.Open(x.top), 1);
  e.Idle(100);
  e.host.Clear();

  // A drag up on the high knob: begin, automation, end, and the value rose
  // by 30 px of a 69 px knob at gearing 4.
  const float before = e.fx.GetParameter(kHighGain);
  x.Drag([&] { e.fx.Dispatch(effEditIdle); }, kKnobX, kKnobY, kKnobX, kKnobY - 30, 3);
  // The release may reach the editor late on a loaded machine.
  EXPECT_TRUE(e.IdleUntil([&] {
    for (const Vst2HostCall& call : e.host.Calls())
      if (call.opcode == audioMasterEndEdit) return true;
    return false;
  }));
  const float after = e.fx.GetParameter(kHighGain);
  EXPECT_NEAR(after - before, 30.0 / 69.0 / 4.0, 1e-4);
  std::vector<VstInt32> order;
  for (const Vst2HostCall& call : e.host.Calls())
    if (call.opcode == audioMasterBeginEdit || call.opcode == audioMasterEndEdit ||
        call.opcode == audioMasterAutomate) {
      EXPECT_EQ(call.index, kHighGain);
      if (order.empty() || order.back() != call.opcode) order.push_back(call.opcode);
    }
  EXPECT_EQ(order,
            (std::vector<VstInt32>{audioMasterBeginEdit, audioMasterAutomate, audioMasterEndEdit}));

  // A drag never starts without a press: moving with no button held does
  // nothing.
  x.MoveTo(kKnobX, kKnobY + 40);
  e.Idle(20);
  EXPECT_EQ(e.fx.GetParameter(kHighGain), after);

  // One wheel notch up, one down (1 % each); horizontal wheel buttons are
  // ignored.
  x.MoveTo(kKnobX, kKnobY);
  e.Idle(20);
  x.Button(4, true);
  x.Button(4, false);
  // Waits rather than idling a fixed time: on a loaded machine the events
  // may reach the editor's connection late.
  const auto near = [&](float v) { return std::fabs(e.fx.GetParameter(kHighGain) - v) <= 1e-5f; };
  EXPECT_TRUE(e.IdleUntil([&] { return near(after + 0.01f); })) << e.fx.GetParameter(kHighGain);
  x.Button(5, true);
  x.Button(5, false);
  x.Button(6, true);
  x.Button(6, false);
  x.Button(7, true);
  x.Button(7, false);
  EXPECT_TRUE(e.IdleUntil([&] { return near(after); })) << e.fx.GetParameter(kHighGain);
  e.Idle(30); // the horizontal buttons, had they counted, would have arrived by now
  EXPECT_NEAR(e.fx.GetParameter(kHighGain), after, 1e-5);

  // A double click puts the knob back to its default (the value it had when
  // the editor was attached).
  usleep(450000); // the wheel presses must not pair with the next click
  x.Button(1, true);
  x.Button(1, false);
  x.Button(1, true);
  x.Button(1, false);
  EXPECT_TRUE(e.IdleUntil([&] { return e.fx.GetParameter(kHighGain) == 0.5f; }))
      << e.fx.GetParameter(kHighGain);

  // The switch toggles bypass on each click (the clicks far enough apart
  // that they are not a double click).
  usleep(450000);
  e.Click(x, kSwitchX, kSwitchY);
  EXPECT_TRUE(e.IdleUntil([&] { return e.fx.GetParameter(kBypass) == 1.0f; }));
  usleep(450000);
  e.Click(x, kSwitchX, kSwitchY);
  EXPECT_TRUE(e.IdleUntil([&] { return e.fx.GetParameter(kBypass) == 0.0f; }));
  EXPECT_EQ(gForeignErrors.load(), 0);
}

TEST(Vst2EditorX11, KeysOutsideTheTableGoToTheHostsWindow) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Editor e;
  ASSERT_EQ(e.Open(x.top), 1);
  e.Idle(60);
  const ::Window editor = x.Editor();
  ASSERT_NE(editor, 0u);
  x.MoveTo(10, 10);
  XSetInputFocus(x.display, editor, RevertToParent, CurrentTime);
  XSync(x.display, False);
  const KeyCode f5 = XKeysymToKeycode(x.display, XK_F5);
  ASSERT_NE(f5, 0);
  XTestFakeKeyEvent(x.display, f5, True, CurrentTime);
  XTestFakeKeyEvent(x.display, f5, False, CurrentTime);
  XSync(x.display, False);
  bool pressed = false, released = false;
  e.IdleUntil([&] {
    XSync(x.display, False);
    XEvent event;
    while (XCheckWindowEvent(x.display, x.top, KeyPressMask | KeyReleaseMask, &event)) {
      if (event.xkey.keycode != f5 || !event.xkey.send_event) continue;
      pressed |= event.type == KeyPress;
      released |= event.type == KeyRelease;
    }
    return pressed && released;
  });
  EXPECT_TRUE(pressed);
  EXPECT_TRUE(released);
}

TEST(Vst2EditorX11, ReopeningKeepsPlaceAndSizeAndClosingRemovesTheWindow) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Editor e;
  ASSERT_EQ(e.Open(x.top), 1);
  const ::Window first = x.Editor();
  ASSERT_NE(first, 0u);
  XMoveResizeWindow(x.display, first, 7, 9, 120, 600);
  XSync(x.display, False);
  e.Idle(50);
  ASSERT_EQ(e.Open(x.top), 1);
  const std::vector<::Window> children = x.Children();
  ASSERT_EQ(children.size(), 1u); // the first window was closed
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(x.display, children[0], &a));
  EXPECT_EQ(a.x, 7);
  EXPECT_EQ(a.y, 9);
  EXPECT_EQ(a.width, 120);
  EXPECT_EQ(a.height, 600);

  EXPECT_EQ(e.Close(), 1);
  EXPECT_TRUE(x.Children().empty());
  EXPECT_EQ(e.Close(), 1); // closing a closed editor is harmless
  // Reopened after closing: a fresh window at the editor's size, painted.
  ASSERT_EQ(e.Open(x.top), 1);
  ASSERT_NE(x.Editor(), 0u);
  ASSERT_TRUE(XGetWindowAttributes(x.display, x.Editor(), &a));
  EXPECT_EQ(a.width, kWidth);
  EXPECT_EQ(a.height, kHeight);
  const std::vector<uint32_t> atRest = Reference("--meter 1");
  EXPECT_TRUE(e.Shows(x, atRest));
}

TEST(Vst2EditorX11, TwoEditorsInOneProcessPaintIndependently) {
  XHost x1(40, 30);
  REQUIRE_DISPLAY(x1);
  XHost x2(400, 30);
  Editor e1, e2;
  ASSERT_EQ(e1.Open(x1.top), 1);
  ASSERT_EQ(e2.Open(x2.top), 1);
  e2.fx.SetParameter(kHighGain, 1.0f);
  const std::vector<uint32_t> atRest = Reference("--meter 1");
  const std::vector<uint32_t> full = Reference("--meter 1 --set 0=1");
  const auto both = [&] {
    return Mismatches(x1.Pixels(), atRest) == 0 && Mismatches(x2.Pixels(), full) == 0;
  };
  for (int i = 0; i < 100 && !both(); ++i) {
    e1.Idle(10);
    e2.Idle(10);
  }
  EXPECT_TRUE(both());
  // Closing one leaves the other working.
  EXPECT_EQ(e1.Close(), 1);
  e2.fx.SetParameter(kHighGain, 0.5f);
  EXPECT_TRUE(e2.Shows(x2, atRest));
}

TEST(Vst2EditorX11, SurvivesTheHostDestroyingTheParentAndBadParents) {
  XHost x;
  REQUIRE_DISPLAY(x);
  gForeignErrors = 0;
  {
    Editor e;
    ASSERT_EQ(e.Open(x.top), 1);
    e.Idle(60);
    XDestroyWindow(x.display, x.top);
    x.top = 0;
    XSync(x.display, False);
    e.fx.SetParameter(kHighGain, 0.9f); // something to paint on the next tick
    e.Idle(100);
    EXPECT_EQ(e.Close(), 1);
    // The window is gone before the close: the editor asks nothing of it.
  }
  {
    // Destroyed and closed without a single idle call in between.
    XHost y;
    Editor e;
    ASSERT_EQ(e.Open(y.top), 1);
    XDestroyWindow(y.display, y.top);
    y.top = 0;
    XSync(y.display, False);
    EXPECT_EQ(e.Close(), 1);
    ASSERT_EQ(e.Open(1), 0); // not a window (an id nobody owns)
  }
  {
    Editor e;
    EXPECT_EQ(e.Open(0), 0);
    EXPECT_EQ(e.Open(0x7FFFFFF), 0);
    e.Idle(20);
  }
  EXPECT_EQ(gForeignErrors.load(), 0);
}

TEST(Vst2EditorX11, WithoutADisplayTheEditorDoesNotOpen) {
  Editor e;
  const char* saved = std::getenv("DISPLAY");
  const std::string display = saved ? saved : "";
  unsetenv("DISPLAY");
  EXPECT_EQ(e.Open(0x200001), 0);
  setenv("DISPLAY", ":65000", 1); // no server there
  EXPECT_EQ(e.Open(0x200001), 0);
  e.Idle(20);
  EXPECT_EQ(e.Close(), 1);
  if (saved)
    setenv("DISPLAY", display.c_str(), 1);
  else
    unsetenv("DISPLAY");
}

} // namespace
