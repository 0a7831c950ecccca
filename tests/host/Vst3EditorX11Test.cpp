// The built VST3 module's editor in a real X11 window, as a Linux DAW opens
// it: dlopen and the factory, createView ("editor"), IPlugView::attached with
// the id of a top-level window of this program, a frame that offers the
// host's run loop (pumped here: the timer and the connection's descriptor),
// input from XTest, pixels read back. Runs under Xvfb; without a display
// every case is skipped.
#include "Vst3EditorHost.h"
#include "Vst3Module.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool, ...) would clash with it.
#include "X11TestHost.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <poll.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#ifndef TOLVEN_VST3_MODULE_PATH
#error "TOLVEN_VST3_MODULE_PATH must name the built VST3 module"
#endif

namespace {

using namespace vst3editor;
using namespace x11test;

Vst3Module& Module() {
  static Vst3Module module(TOLVEN_VST3_MODULE_PATH);
  return module;
}

// The host's run loop: what the plug-in registered, and a pump that calls
// the timers when due and the event handlers when their descriptor is
// readable, as a host's UI loop does.
class TestRunLoop : public Linux::IRunLoop {
public:
  struct Timer {
    Linux::ITimerHandler* handler;
    Linux::TimerInterval ms;
    std::chrono::steady_clock::time_point due;
  };
  struct Events {
    Linux::IEventHandler* handler;
    int fd;
  };

  virtual ~TestRunLoop() = default;
  tresult PLUGIN_API registerEventHandler(Linux::IEventHandler* handler, int fd) override {
    if (!handler || fd < 0) return kInvalidArgument;
    handler->addRef(); // as hosts may: the plug-in must not free it under us
    events.push_back({handler, fd});
    return kResultTrue;
  }
  tresult PLUGIN_API unregisterEventHandler(Linux::IEventHandler* handler) override {
    return Remove(events, handler);
  }
  tresult PLUGIN_API registerTimer(Linux::ITimerHandler* handler,
                                   Linux::TimerInterval ms) override {
    if (!handler || ms == 0) return kInvalidArgument;
    handler->addRef();
    timers.push_back({handler, ms, std::chrono::steady_clock::now()});
    return kResultTrue;
  }
  tresult PLUGIN_API unregisterTimer(Linux::ITimerHandler* handler) override {
    return Remove(timers, handler);
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid) ||
        FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
      *obj = this;
      addRef();
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return static_cast<uint32>(++references); }
  uint32 PLUGIN_API release() override { return static_cast<uint32>(--references); }

  // About ms milliseconds of the host's UI loop.
  void Pump(int ms) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (auto now = std::chrono::steady_clock::now(); now < end;
         now = std::chrono::steady_clock::now()) {
      // Copies: a handler may unregister itself or others.
      const std::vector<Events> ready = events;
      for (const Events& e : ready) {
        pollfd fd{e.fd, POLLIN, 0};
        if (poll(&fd, 1, 0) > 0 && Registered(e.handler)) e.handler->onFDIsSet(e.fd);
      }
      const std::vector<Timer> due = timers;
      for (const Timer& t : due)
        if (now >= t.due && Registered(t.handler)) {
          for (Timer& mine : timers)
            if (mine.handler == t.handler) mine.due = now + std::chrono::milliseconds(t.ms);
          t.handler->onTimer();
        }
      usleep(2000);
    }
  }
  // Pumps until done() holds; false after three seconds.
  bool PumpUntil(const std::function<bool()>& done) {
    return IdleUntil([this] { Pump(20); }, done);
  }

  std::vector<Timer> timers;
  std::vector<Events> events;
  int unknownUnregisters = 0;
  int references = 0;

private:
  // An unregistration of a handler that is not registered is counted.
  template <class Entry, class Handler> tresult Remove(std::vector<Entry>& list, Handler* handler) {
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i].handler == handler) {
        list.erase(list.begin() + static_cast<long>(i));
        handler->release();
        return kResultTrue;
      }
    ++unknownUnregisters;
    return kResultFalse;
  }
  bool Registered(FUnknown* handler) const {
    for (const Events& e : events)
      if (e.handler == handler) return true;
    for (const Timer& t : timers)
      if (t.handler == handler) return true;
    return false;
  }
};

// A frame that offers the run loop on request (a host that has one).
class RunLoopFrame : public RecordingFrame {
public:
  explicit RunLoopFrame(TestRunLoop* loop) : mLoop(loop) {}
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (mLoop && FUnknownPrivate::iidEqual(iid, Linux::IRunLoop::iid)) {
      *obj = mLoop;
      mLoop->addRef();
      return kResultOk;
    }
    return RecordingFrame::queryInterface(iid, obj);
  }

private:
  TestRunLoop* mLoop;
};

struct Plugin : EditorPlugin {
  TestRunLoop loop;
  RunLoopFrame frame;

  explicit Plugin(bool offerRunLoop = true)
      : EditorPlugin(Module().Factory()), frame(offerRunLoop ? &loop : nullptr) {}
  ~Plugin() { ReleaseView(); }
  IPlugView* MakeView() { return EditorPlugin::MakeView(&frame); }
  tresult Attach(::Window parent) {
    if (!view && !MakeView()) return kResultFalse;
    return view->attached(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)),
                          kPlatformTypeX11EmbedWindowID);
  }
  // Waits until host's window shows picture; false after three seconds.
  bool Shows(const XHost& x, const std::vector<uint32_t>& picture) {
    return loop.PumpUntil([&] { return Mismatches(x.Pixels(), picture) == 0; });
  }
  // The snapshot's arguments for the current parameter values (in their
  // own units).
  std::string Settings() const {
    std::string arguments;
    const std::vector<double> values = Values();
    for (ParamID id = 0; id < values.size(); ++id)
      arguments += " --set " + std::to_string(id) + "=" +
                   std::to_string(instance.Controller()->normalizedParamToPlain(id, values[id]));
    return arguments;
  }
};

TEST(Vst3EditorX11, AttachedOpensTheEditorDrivenByTheHostsRunLoop) {
  XHost x;
  REQUIRE_DISPLAY(x);
  ASSERT_TRUE(Module().IsLoaded()) << Module().Error();
  Plugin plug;
  ASSERT_TRUE(plug.instance.IsCreated()) << plug.instance.Error();
  IPlugView* view = plug.MakeView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID2"), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
  ViewRect size;
  ASSERT_EQ(view->getSize(&size), kResultTrue);
  EXPECT_EQ(size.left, 0);
  EXPECT_EQ(size.top, 0);
  EXPECT_EQ(size.right, kWidth);
  EXPECT_EQ(size.bottom, kHeight);

  ASSERT_EQ(plug.Attach(x.top), kResultTrue);
  const ::Window editor = x.Editor();
  ASSERT_NE(editor, 0u);
  XWindowAttributes a{};
  ASSERT_TRUE(XGetWindowAttributes(x.display, editor, &a));
  EXPECT_EQ(a.width, kWidth);
  EXPECT_EQ(a.height, kHeight);
  // The tick at 40 ms and the editor's own connection (not the host's).
  ASSERT_EQ(plug.loop.timers.size(), 1u);
  EXPECT_EQ(plug.loop.timers[0].ms, 40u);
  ASSERT_EQ(plug.loop.events.size(), 1u);
  EXPECT_GE(plug.loop.events[0].fd, 0);
  EXPECT_NE(plug.loop.events[0].fd, ConnectionNumber(x.display));

  const std::vector<uint32_t> atRest = Reference("--meter 1");
  ASSERT_EQ(atRest.size(), static_cast<size_t>(kWidth * kHeight));
  EXPECT_EQ(Mismatches(x.Pixels(), atRest), 0) << FirstDifference(x.Pixels(), atRest);
  // Exposed again: painted through the descriptor's handler.
  XSetWindowBackground(x.display, editor, 0xFF00FF);
  XClearArea(x.display, editor, 10, 200, 50, 50, True);
  XSync(x.display, False);
  EXPECT_TRUE(plug.Shows(x, atRest)) << FirstDifference(x.Pixels(), atRest);

  // Parameter changes from the host's queues: the knobs follow on the tick.
  Vst3ParameterChanges changes;
  changes.AddPoint(2, 0, 0.15);
  changes.AddPoint(3, 0, 0.8);
  plug.Process(&changes);
  const std::vector<uint32_t> moved = Reference(plug.Settings());
  ASSERT_GT(Mismatches(moved, atRest), 0);
  EXPECT_TRUE(plug.loop.PumpUntil([&] { return BelowMeterEquals(x.Pixels(), moved); }))
      << FirstDifference(x.Pixels(), moved);

  // removed: both handlers unregistered, the window gone.
  EXPECT_EQ(view->removed(), kResultTrue);
  EXPECT_TRUE(plug.loop.timers.empty());
  EXPECT_TRUE(plug.loop.events.empty());
  EXPECT_EQ(plug.loop.unknownUnregisters, 0);
  EXPECT_EQ(plug.loop.references, 0); // the plug-in let go of the run loop
  EXPECT_TRUE(x.Children().empty());
  EXPECT_EQ(view->removed(), kResultTrue); // again: harmless
  EXPECT_EQ(plug.loop.unknownUnregisters, 0);
  EXPECT_EQ(gForeignErrors.load(), 0);
}

TEST(Vst3EditorX11, MeterAndParametersFollowWhileAudioRunsOnAnotherThread) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Plugin plug;
  ASSERT_EQ(plug.Attach(x.top), kResultTrue);
  const std::vector<uint32_t> atRest = Reference("--meter 1");
  ASSERT_TRUE(plug.Shows(x, atRest));

  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  std::thread audio([&] {
    while (!stop.load()) {
      // The host's automation of the mid gain arrives with the audio.
      Vst3ParameterChanges changes;
      changes.AddPoint(1, 0, (blocks.load() % 20) / 20.0);
      plug.Process(&changes, 0.5f);
      ++blocks;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  });
  const bool meterMoved = plug.loop.PumpUntil([&] { return MeterDiffers(x.Pixels(), atRest); });
  plug.loop.Pump(200);
  stop = true;
  audio.join();
  EXPECT_TRUE(meterMoved);
  EXPECT_GT(blocks.load(), 0);
  const std::vector<uint32_t> last = Reference(plug.Settings());
  EXPECT_TRUE(plug.loop.PumpUntil([&] { return BelowMeterEquals(x.Pixels(), last); }))
      << FirstDifference(x.Pixels(), last);
  EXPECT_EQ(plug.view->removed(), kResultTrue);
}

TEST(Vst3EditorX11, DragReachesTheHostAsBeginPerformEnd) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Plugin plug;
  ASSERT_EQ(plug.Attach(x.top), kResultTrue);
  plug.loop.Pump(100);
  const double before = plug.instance.Controller()->getParamNormalized(0);
  x.MoveTo(kKnobX, kKnobY);
  plug.loop.Pump(20);
  x.Button(1, true);
  plug.loop.Pump(20);
  for (int step = 1; step <= 3; ++step) {
    x.MoveTo(kKnobX, kKnobY - 10 * step);
    plug.loop.Pump(20);
  }
  x.Button(1, false);
  // The release may reach the editor late on a loaded machine.
  EXPECT_TRUE(plug.loop.PumpUntil(
      [&] { return !plug.handler.calls.empty() && plug.handler.calls.back() == "end 0"; }));
  const std::vector<std::string>& calls = plug.handler.calls;
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls.front(), "begin 0");
  EXPECT_EQ(calls.back(), "end 0");
  for (size_t i = 1; i + 1 < calls.size(); ++i)
    EXPECT_EQ(calls[i], "perform 0");
  // 30 px up a 69 px knob at gearing 4.
  EXPECT_NEAR(plug.handler.values.back() - before, 30.0 / 69.0 / 4.0, 1e-4);
  EXPECT_NEAR(plug.instance.Controller()->getParamNormalized(0), plug.handler.values.back(), 1e-9);
  EXPECT_TRUE(plug.handler.menuParams.empty());
  EXPECT_EQ(plug.view->removed(), kResultTrue);
}

TEST(Vst3EditorX11, RightPressAsksTheHostForAContextMenu) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Plugin plug;
  ASSERT_EQ(plug.Attach(x.top), kResultTrue);
  plug.loop.Pump(60);
  x.MoveTo(kKnobX, kKnobY);
  plug.loop.Pump(20);
  x.Button(3, true);
  x.Button(3, false);
  ASSERT_TRUE(plug.loop.PumpUntil([&] { return !plug.handler.popups.empty(); }));
  ASSERT_EQ(plug.handler.menuParams.size(), 1u);
  EXPECT_EQ(plug.handler.menuParams[0], 0);
  EXPECT_EQ(plug.handler.menuViews[0], plug.view);
  ASSERT_EQ(plug.handler.popups.size(), 1u);
  EXPECT_EQ(plug.handler.popups[0], std::make_pair(kKnobX, kKnobY));
  // The press went to the host's menu, not to the knob.
  EXPECT_TRUE(plug.handler.calls.empty());
  EXPECT_EQ(plug.handler.references, 1); // the plug-in's own, from setComponentHandler
  EXPECT_EQ(plug.view->removed(), kResultTrue);
}

TEST(Vst3EditorX11, WithoutARunLoopTheWindowStillOpensPainted) {
  XHost x;
  REQUIRE_DISPLAY(x);
  const std::vector<uint32_t> atRest = Reference("--meter 1");
  {
    Plugin plug(false);
    ASSERT_EQ(plug.Attach(x.top), kResultTrue);
    const ::Window editor = x.Editor();
    ASSERT_NE(editor, 0u);
    EXPECT_EQ(Mismatches(x.Pixels(), atRest), 0) << FirstDifference(x.Pixels(), atRest);
    // Covered and uncovered by another window with nobody driving the
    // editor: the server paints the exposed part from the editor's picture.
    int coverX = 0, coverY = 0;
    ::Window child = 0;
    XTranslateCoordinates(x.display, editor, DefaultRootWindow(x.display), 10, 200, &coverX,
                          &coverY, &child);
    const ::Window cover = XCreateSimpleWindow(x.display, DefaultRootWindow(x.display), coverX,
                                               coverY, 60, 60, 0, 0, 0xFF00FF);
    XMapRaised(x.display, cover);
    XSync(x.display, False);
    EXPECT_GT(Mismatches(x.Pixels(), atRest), 0);
    XDestroyWindow(x.display, cover);
    XSync(x.display, False);
    EXPECT_EQ(Mismatches(x.Pixels(), atRest), 0) << FirstDifference(x.Pixels(), atRest);
    // Presses it cannot take go to the host's window rather than waiting
    // unread on the editor's connection.
    XSelectInput(x.display, x.top, ButtonPressMask);
    x.MoveTo(kKnobX, kKnobY);
    x.Button(1, true);
    x.Button(1, false);
    XEvent press;
    EXPECT_TRUE(XCheckWindowEvent(x.display, x.top, ButtonPressMask, &press));
    EXPECT_TRUE(plug.handler.calls.empty());
    EXPECT_EQ(plug.view->removed(), kResultTrue);
    EXPECT_TRUE(x.Children().empty());
  }
  {
    // No frame at all.
    Plugin plug;
    ASSERT_NE(plug.EditorPlugin::MakeView(nullptr), nullptr);
    ASSERT_EQ(plug.Attach(x.top), kResultTrue);
    EXPECT_EQ(Mismatches(x.Pixels(), atRest), 0) << FirstDifference(x.Pixels(), atRest);
    EXPECT_TRUE(plug.loop.timers.empty());
    EXPECT_EQ(plug.view->removed(), kResultTrue);
    EXPECT_TRUE(x.Children().empty());
  }
  EXPECT_EQ(gForeignErrors.load(), 0);
}

TEST(Vst3EditorX11, ReattachedReleasedAndReopened) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Plugin plug;
  ASSERT_EQ(plug.Attach(x.top), kResultTrue);
  // Attached again without removed: one window, one registration of each.
  ASSERT_EQ(plug.Attach(x.top), kResultTrue);
  EXPECT_EQ(x.Children().size(), 1u);
  EXPECT_EQ(plug.loop.timers.size(), 1u);
  ASSERT_EQ(plug.loop.events.size(), 1u);
  // Removed and attached again: a fresh window, painted and driven.
  EXPECT_EQ(plug.view->removed(), kResultTrue);
  EXPECT_TRUE(x.Children().empty());
  ASSERT_EQ(plug.Attach(x.top), kResultTrue);
  EXPECT_EQ(plug.loop.timers.size(), 1u);
  EXPECT_EQ(plug.loop.events.size(), 1u);
  Vst3ParameterChanges changes;
  changes.AddPoint(0, 0, 0.9);
  plug.Process(&changes);
  const std::vector<uint32_t> moved = Reference(plug.Settings());
  EXPECT_TRUE(plug.loop.PumpUntil([&] { return BelowMeterEquals(x.Pixels(), moved); }));
  // Released while attached: the window goes and nothing stays registered.
  plug.ReleaseView();
  EXPECT_TRUE(x.Children().empty());
  EXPECT_TRUE(plug.loop.timers.empty());
  EXPECT_TRUE(plug.loop.events.empty());
  EXPECT_EQ(plug.loop.references, 0);
  EXPECT_EQ(plug.loop.unknownUnregisters, 0);
}

// The editor's connection broken by the server (here: killed as a client):
// its descriptor stays readable for good, so its handler leaves the run loop
// instead of spinning it; the tick stays until removed.
TEST(Vst3EditorX11, ABrokenConnectionLeavesTheRunLoop) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Plugin plug;
  ASSERT_EQ(plug.Attach(x.top), kResultTrue);
  const ::Window editor = x.Editor();
  ASSERT_NE(editor, 0u);
  ASSERT_EQ(plug.loop.events.size(), 1u);
  XKillClient(x.display, editor);
  XSync(x.display, False);
  EXPECT_TRUE(plug.loop.PumpUntil([&] { return plug.loop.events.empty(); }));
  EXPECT_EQ(plug.loop.timers.size(), 1u);
  plug.loop.Pump(100);
  EXPECT_EQ(plug.view->removed(), kResultTrue);
  EXPECT_TRUE(plug.loop.timers.empty());
  EXPECT_EQ(plug.loop.unknownUnregisters, 0);
  EXPECT_EQ(plug.loop.references, 0);
  // A new window opens on a new connection.
  ASSERT_EQ(plug.Attach(x.top), kResultTrue);
  EXPECT_EQ(plug.loop.events.size(), 1u);
  EXPECT_EQ(gForeignErrors.load(), 0);
}

TEST(Vst3EditorX11, BadParentsAndNoDisplayAreRefused) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Plugin plug;
  ASSERT_NE(plug.MakeView(), nullptr);
  EXPECT_EQ(plug.Attach(0), kResultFalse);
  EXPECT_EQ(plug.Attach(0x7FFFFFF), kResultFalse); // an id nobody owns
  EXPECT_TRUE(plug.loop.timers.empty());
  EXPECT_TRUE(plug.loop.events.empty());
  EXPECT_EQ(plug.view->removed(), kResultTrue);

  const char* saved = std::getenv("DISPLAY");
  const std::string display = saved ? saved : "";
  unsetenv("DISPLAY");
  EXPECT_EQ(plug.Attach(x.top), kResultFalse);
  setenv("DISPLAY", ":65000", 1); // no server there
  EXPECT_EQ(plug.Attach(x.top), kResultFalse);
  setenv("DISPLAY", display.c_str(), 1);
  EXPECT_TRUE(plug.loop.timers.empty());
  EXPECT_TRUE(x.Children().empty());
  EXPECT_EQ(plug.view->removed(), kResultTrue);

  // The host destroying its window before removed.
  ASSERT_EQ(plug.Attach(x.top), kResultTrue);
  XDestroyWindow(x.display, x.top);
  x.top = 0;
  XSync(x.display, False);
  plug.loop.Pump(100);
  EXPECT_EQ(plug.view->removed(), kResultTrue);
  EXPECT_TRUE(plug.loop.timers.empty());
  EXPECT_EQ(gForeignErrors.load(), 0);
}

} // namespace
