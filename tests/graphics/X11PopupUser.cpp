#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros would clash with it.
#include "X11Pixels.h"
#include "X11PopupUser.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <unistd.h>

namespace {

constexpr auto kPatience = std::chrono::seconds(3);

template <typename Check> bool WaitUntil(Check check) {
  const auto end = std::chrono::steady_clock::now() + kPatience;
  while (!check()) {
    if (std::chrono::steady_clock::now() > end) return false;
    usleep(5000);
  }
  return true;
}

std::atomic<Display*> gUserDisplay{nullptr};
std::atomic<int> gHostErrors{0};

int CountError(Display* display, XErrorEvent*) {
  if (display != gUserDisplay.load()) ++gHostErrors;
  return 0;
}

} // namespace

X11PopupUser::X11PopupUser() : mDisplay(XOpenDisplay(nullptr)) {
  gUserDisplay = mDisplay;
  XSetErrorHandler(CountError);
}

int X11PopupUser::HostErrors() {
  return gHostErrors.load();
}

X11PopupUser::~X11PopupUser() {
  Finish();
  if (mDisplay) XCloseDisplay(mDisplay);
}

void X11PopupUser::Start(std::function<void(X11PopupUser&)> script) {
  mThread = std::thread([this, script] {
    script(*this);
    // A popup still open a while from now failed to end (or the script stopped at a
    // failed assertion): destroying it ends the editor's wait.
    for (const char* name : {"menu", "message"})
      for (::Window window : WaitGone(name) ? std::vector<::Window>() : Mapped(name)) {
        ADD_FAILURE() << "a " << name << " window was still open";
        XDestroyWindow(mDisplay, window);
      }
    XSync(mDisplay, False);
  });
}

void X11PopupUser::Finish() {
  if (mThread.joinable()) mThread.join();
}

std::vector<::Window> X11PopupUser::Mapped(const char* name) {
  std::vector<::Window> found;
  ::Window root = 0, parent = 0;
  ::Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(mDisplay, DefaultRootWindow(mDisplay), &root, &parent, &children, &count))
    return found;
  for (unsigned i = 0; i < count; ++i) {
    XWindowAttributes attributes{};
    XClassHint hint{};
    if (!XGetWindowAttributes(mDisplay, children[i], &attributes) ||
        attributes.map_state != IsViewable || !XGetClassHint(mDisplay, children[i], &hint))
      continue;
    if (std::strcmp(hint.res_class, "TOLVEN") == 0 && std::strcmp(hint.res_name, name) == 0)
      found.push_back(children[i]);
    XFree(hint.res_name);
    XFree(hint.res_class);
  }
  if (children) XFree(children);
  return found;
}

std::vector<::Window> X11PopupUser::WaitFor(const char* name, size_t count) {
  std::vector<::Window> found;
  WaitUntil([&] { return (found = Mapped(name)).size() >= count; });
  return found;
}

bool X11PopupUser::WaitCount(const char* name, size_t count) {
  return WaitUntil([&] { return Mapped(name).size() == count; });
}

bool X11PopupUser::WaitGone(const char* name) {
  return WaitCount(name, 0);
}

bool X11PopupUser::WaitPixel(::Window window, int x, int y, uint32_t colour) {
  return WaitUntil([&] {
    const std::vector<uint32_t> pixel = X11WindowPixels(mDisplay, window, x, y, 1, 1);
    return pixel.size() == 1 && pixel[0] == colour;
  });
}

bool X11PopupUser::WaitFocus(::Window window) {
  return WaitUntil([&] {
    ::Window focus = 0;
    int revert = 0;
    XGetInputFocus(mDisplay, &focus, &revert);
    return focus == window;
  });
}

IBox X11PopupUser::Box(::Window window) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(mDisplay, window, &attributes);
  int x = 0, y = 0;
  ::Window child = 0;
  XTranslateCoordinates(mDisplay, window, DefaultRootWindow(mDisplay), 0, 0, &x, &y, &child);
  return IBox(x, y, x + attributes.width, y + attributes.height);
}

std::vector<uint32_t> X11PopupUser::Pixels(::Window window) {
  const IBox box = Box(window);
  return X11WindowPixels(mDisplay, window, 0, 0, box.W(), box.H());
}

std::string X11PopupUser::Property(::Window window, const char* name) {
  Atom type = None;
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  std::string value;
  if (XGetWindowProperty(mDisplay, window, XInternAtom(mDisplay, name, False), 0, 1024, False,
                         AnyPropertyType, &type, &format, &items, &after, &data) == Success &&
      data) {
    if (format == 8) value.assign(reinterpret_cast<const char*>(data), items);
    if (format == 32 && type == XA_ATOM)
      for (unsigned long i = 0; i < items; ++i) {
        char* atom = XGetAtomName(mDisplay, reinterpret_cast<Atom*>(data)[i]);
        value += (value.empty() ? "" : " ") + std::string(atom ? atom : "");
        if (atom) XFree(atom);
      }
  }
  if (data) XFree(data);
  return value;
}

::Window X11PopupUser::TransientFor(::Window window) {
  ::Window owner = 0;
  return XGetTransientForHint(mDisplay, window, &owner) ? owner : 0;
}

void X11PopupUser::MoveTo(int x, int y) {
  XTestFakeMotionEvent(mDisplay, DefaultScreen(mDisplay), x, y, CurrentTime);
  XSync(mDisplay, False);
  usleep(20000);
}

void X11PopupUser::Button(unsigned button, bool down) {
  XTestFakeButtonEvent(mDisplay, button, down ? True : False, CurrentTime);
  XSync(mDisplay, False);
  usleep(20000);
}

void X11PopupUser::Click(int x, int y, unsigned button) {
  MoveTo(x, y);
  Button(button, true);
  Button(button, false);
}

void X11PopupUser::Key(unsigned long keysym, bool shift) {
  const KeyCode shiftCode = XKeysymToKeycode(mDisplay, XK_Shift_L);
  const KeyCode code = XKeysymToKeycode(mDisplay, keysym);
  if (shift) XTestFakeKeyEvent(mDisplay, shiftCode, True, CurrentTime);
  XTestFakeKeyEvent(mDisplay, code, True, CurrentTime);
  XTestFakeKeyEvent(mDisplay, code, False, CurrentTime);
  if (shift) XTestFakeKeyEvent(mDisplay, shiftCode, False, CurrentTime);
  XSync(mDisplay, False);
  usleep(20000);
}

void X11PopupUser::AskToClose(::Window window) {
  XEvent event{};
  event.xclient.type = ClientMessage;
  event.xclient.window = window;
  event.xclient.message_type = XInternAtom(mDisplay, "WM_PROTOCOLS", False);
  event.xclient.format = 32;
  event.xclient.data.l[0] = static_cast<long>(XInternAtom(mDisplay, "WM_DELETE_WINDOW", False));
  event.xclient.data.l[1] = CurrentTime;
  XSendEvent(mDisplay, window, False, NoEventMask, &event);
  XSync(mDisplay, False);
}

int CountColour(const std::vector<uint32_t>& pixels, int w, const IBox& area, uint32_t colour) {
  int count = 0;
  for (int y = area.T; y < area.B; ++y)
    for (int x = area.L; x < area.R; ++x)
      count += PixelOf(pixels, w, x, y) == colour;
  return count;
}
