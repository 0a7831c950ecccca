#include "X11TestHost.h"

#include "LICE_IBitmap.h"
#include "LICE_Png.h"
#include "X11Pixels.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <unistd.h>

#ifndef TOLVEN_SNAPSHOT
#error "TOLVEN_SNAPSHOT must name the snapshot tool"
#endif

namespace x11test {

std::atomic<int> gForeignErrors{0};

namespace {
Display* gHostDisplay = nullptr;
int CountErrors(Display* display, XErrorEvent*) {
  if (display != gHostDisplay) ++gForeignErrors;
  return 0;
}
} // namespace

Display* OpenDisplay() {
  static Display* const keeper = XOpenDisplay(nullptr);
  return keeper ? XOpenDisplay(nullptr) : nullptr;
}

XHost::XHost(int x, int y) {
  if (!display) return;
  gHostDisplay = display;
  XSetErrorHandler(CountErrors);
  const int screen = DefaultScreen(display);
  top = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, 300, 720, 0,
                            BlackPixel(display, screen), WhitePixel(display, screen));
  XSelectInput(display, top, KeyPressMask | KeyReleaseMask | SubstructureNotifyMask);
  XMapRaised(display, top);
  XSync(display, False);
}

XHost::~XHost() {
  if (!display) return;
  if (top) XDestroyWindow(display, top);
  XCloseDisplay(display);
}

std::vector<::Window> XHost::Children() const {
  std::vector<::Window> result;
  ::Window root = 0, parent = 0, *children = nullptr;
  unsigned count = 0;
  if (top && XQueryTree(display, top, &root, &parent, &children, &count)) {
    result.assign(children, children + count);
    XFree(children);
  }
  return result;
}

::Window XHost::Editor() const {
  const std::vector<::Window> children = Children();
  return children.size() == 1 ? children[0] : 0;
}

std::vector<uint32_t> XHost::Pixels() const {
  const ::Window editor = Editor();
  if (!editor) return {};
  return X11WindowPixels(display, editor, 0, 0, kWidth, kHeight);
}

void XHost::MoveTo(int x, int y) {
  int rootX = 0, rootY = 0;
  ::Window child = 0;
  XTranslateCoordinates(display, top, DefaultRootWindow(display), x, y, &rootX, &rootY, &child);
  XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
  XSync(display, False);
}

void XHost::Button(unsigned button, bool down) {
  XTestFakeButtonEvent(display, button, down ? True : False, CurrentTime);
  XSync(display, False);
}

void XHost::Drag(const std::function<void()>& idle, int fromX, int fromY, int toX, int toY,
                 int steps) {
  MoveTo(fromX, fromY);
  IdleFor(idle, 20);
  Button(1, true);
  IdleFor(idle, 20);
  for (int step = 1; step <= steps; ++step) {
    MoveTo(fromX + (toX - fromX) * step / steps, fromY + (toY - fromY) * step / steps);
    IdleFor(idle, 20);
  }
  Button(1, false);
  IdleFor(idle, 20);
}

std::vector<uint32_t> Reference(const std::string& arguments) {
  const std::string path = "/tmp/tolven-x11-ref-" + std::to_string(getpid()) + "-" +
                           std::to_string(std::rand()) + ".png";
  const std::string command =
      std::string(TOLVEN_SNAPSHOT) + " " + path + " " + arguments + " >/dev/null";
  std::vector<uint32_t> pixels;
  if (std::system(command.c_str()) != 0) return pixels;
  std::unique_ptr<LICE_IBitmap> picture(LICE_DecodePngFile(path.c_str()));
  std::remove(path.c_str());
  if (!picture || picture->Width() != kWidth || picture->Height() != kHeight) return pixels;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      pixels.push_back(picture->Pixels()[y * picture->RowSpan() + x] & 0xFFFFFF);
  return pixels;
}

int Mismatches(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size()) return -1;
  int count = 0;
  for (size_t i = 0; i < a.size(); ++i)
    count += a[i] != b[i];
  return count;
}

std::string FirstDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size()) return "sizes differ";
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i]) {
      char text[96];
      std::snprintf(text, sizeof text, "first at (%d, %d): %06x, expected %06x",
                    static_cast<int>(i % kWidth), static_cast<int>(i / kWidth), a[i], b[i]);
      return text;
    }
  return "none";
}

bool MeterDiffers(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size() || a.size() != static_cast<size_t>(kWidth * kHeight)) return false;
  for (int y = kMeterT; y < kMeterB; ++y)
    for (int x = kMeterL; x < kMeterR; ++x)
      if (a[y * kWidth + x] != b[y * kWidth + x]) return true;
  return false;
}

bool BelowMeterEquals(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
  if (a.size() != b.size() || a.size() != static_cast<size_t>(kWidth * kHeight)) return false;
  for (size_t i = static_cast<size_t>(kMeterB) * kWidth; i < a.size(); ++i)
    if (a[i] != b[i]) return false;
  return true;
}

void IdleFor(const std::function<void()>& idle, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    idle();
    usleep(2000);
  }
}

bool IdleUntil(const std::function<void()>& idle, const std::function<bool()>& done) {
  for (int i = 0; i < 150; ++i) {
    if (done()) return true;
    IdleFor(idle, 20);
  }
  return done();
}

} // namespace x11test
