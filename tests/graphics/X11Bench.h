#pragma once

// The X11 window tests' bench: a parent window on a connection of the test's
// own and an editor inside it, with X events sent to it as the server would
// deliver them. Include after GoogleTest: Xlib's macros would clash with it.
#include "GraphicsTestSupport.h"
#include "IGraphicsX11.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

// Counts what is presented, and where.
class CountingX11 : public IGraphicsX11 {
public:
  using IGraphicsX11::IGraphicsX11;
  bool PresentArea(const IBox& area) override {
    ++presents;
    lastArea = area;
    return IGraphicsX11::PresentArea(area);
  }
  int presents = 0;
  IBox lastArea;
};

// An X server resets itself (and refuses connections meanwhile) whenever its
// last client leaves; this program keeps one connection open throughout.
inline Display* OpenDisplay() {
  static Display* const keeper = XOpenDisplay(nullptr);
  return keeper ? XOpenDisplay(nullptr) : nullptr;
}

// A parent window on a connection of the test's own, an editor with two
// logging controls (a with parameter 0, b without) inside it.
struct X11Bench {
  Display* display = OpenDisplay();
  ::Window parent = 0;
  ::Window editor = 0;
  GraphicsTestPlug plug;
  std::vector<std::string> log;
  CountingX11* graphics = new CountingX11(&plug, 100, 80);

  X11Bench() {
    graphics->AddControl(new ProbeControl(log, "a", &plug, IBox(0, 0, 50, 80), 0));
    graphics->AddControl(new ProbeControl(log, "b", &plug, IBox(50, 0, 100, 80)));
    plug.AttachEditor(graphics);
    if (!display) return;
    // Far from the pointer's usual place, so key presses hit no control.
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, 1000, 900);
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 20, 20, 200, 200, 0, 0, 0);
    XMapWindow(display, parent);
    XSync(display, False);
    editor = static_cast<::Window>(reinterpret_cast<uintptr_t>(
        graphics->OpenEditorWindow(reinterpret_cast<void*>(static_cast<uintptr_t>(parent)))));
    graphics->ProcessEvents();
    log.clear();
  }
  ~X11Bench() {
    graphics->CloseEditorWindow();
    if (display) {
      XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
  }

  void Send(XEvent& event, long mask) {
    event.xany.window = editor;
    event.xany.display = display;
    XSendEvent(display, editor, False, mask, &event);
    XSync(display, False);
    // The editor's connection reads what the server queued for it.
    for (int i = 0; i < 5; ++i) {
      graphics->ProcessEvents();
      usleep(2000);
    }
  }
  void Button(int type, unsigned button, int x, int y, Time time, unsigned state = 0) {
    XEvent e{};
    e.type = type;
    e.xbutton.button = button;
    e.xbutton.x = x;
    e.xbutton.y = y;
    e.xbutton.time = time;
    e.xbutton.state = state;
    e.xbutton.same_screen = True;
    Send(e, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask);
  }
  void Motion(int x, int y, unsigned state) {
    XEvent e{};
    e.type = MotionNotify;
    e.xmotion.x = x;
    e.xmotion.y = y;
    e.xmotion.state = state;
    e.xmotion.same_screen = True;
    Send(e, PointerMotionMask);
  }
  void Crossing(int type) {
    XEvent e{};
    e.type = type;
    e.xcrossing.mode = NotifyNormal;
    Send(e, type == EnterNotify ? EnterWindowMask : LeaveWindowMask);
  }
  void Key(KeySym sym) {
    XEvent e{};
    e.type = KeyPress;
    e.xkey.keycode = XKeysymToKeycode(display, sym);
    e.xkey.same_screen = True;
    Send(e, KeyPressMask);
  }
  std::vector<std::string> TakeLog() {
    std::vector<std::string> taken;
    for (const std::string& line : log)
      if (line.find(" draw") == std::string::npos) taken.push_back(line);
    log.clear();
    return taken;
  }
};

// Skipped without a display; a display that is set but does not answer is
// a failure.
#define REQUIRE_DISPLAY(bench)                                                                     \
  if (!(bench).display) {                                                                          \
    ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "the X display does not answer";                 \
    GTEST_SKIP() << "no X display (run under xvfb-run)";                                           \
  }
