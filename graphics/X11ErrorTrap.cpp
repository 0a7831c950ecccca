#include "X11ErrorTrap.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

namespace {

std::mutex gDisplaysLock;
std::vector<Display*> gDisplays;

bool IsEditorDisplay(Display* display) {
  std::lock_guard<std::mutex> lock(gDisplaysLock);
  return std::find(gDisplays.begin(), gDisplays.end(), display) != gDisplays.end();
}

// The handlers the traps replaced, and how many traps are open, in any
// thread.
std::mutex gTrapLock;
int gTrapDepth = 0;
std::atomic<XErrorHandler> gPreviousHandler{nullptr};
std::atomic<XIOErrorHandler> gPreviousIOHandler{nullptr};
thread_local unsigned tTrapErrors = 0; // errors caught on this thread

int TrapError(Display* display, XErrorEvent* event) {
  if (IsEditorDisplay(display)) {
    ++tTrapErrors;
    return 0;
  }
  const XErrorHandler previous = gPreviousHandler.load();
  return previous ? previous(display, event) : 0;
}

int TrapIOError(Display* display) {
  if (IsEditorDisplay(display)) return 0;
  const XIOErrorHandler previous = gPreviousIOHandler.load();
  return previous ? previous(display) : 0;
}

} // namespace

X11ErrorTrap::X11ErrorTrap() : mStart(tTrapErrors) {
  std::lock_guard<std::mutex> lock(gTrapLock);
  if (gTrapDepth++ == 0) {
    gPreviousHandler = XSetErrorHandler(TrapError);
    gPreviousIOHandler = XSetIOErrorHandler(TrapIOError);
  }
}

X11ErrorTrap::~X11ErrorTrap() {
  std::lock_guard<std::mutex> lock(gTrapLock);
  if (--gTrapDepth == 0) {
    XSetErrorHandler(gPreviousHandler.load());
    XSetIOErrorHandler(gPreviousIOHandler.load());
  }
}

bool X11ErrorTrap::Sync(Display* display) {
  XSync(display, False);
  return tTrapErrors == mStart;
}

void X11ErrorTrap::AddEditorDisplay(Display* display) {
  std::lock_guard<std::mutex> lock(gDisplaysLock);
  gDisplays.push_back(display);
}

void X11ErrorTrap::RemoveEditorDisplay(Display* display) {
  std::lock_guard<std::mutex> lock(gDisplaysLock);
  gDisplays.erase(std::remove(gDisplays.begin(), gDisplays.end(), display), gDisplays.end());
}
