#include "X11Modal.h"

#include <ctime>
#include <poll.h>

long long MonotonicMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<long long>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

bool X11Modal::Run(const std::function<bool(XEvent&)>& take,
                   const std::function<bool()>& done) const {
  long long nextTick = MonotonicMs() + tickMs;
  for (;;) {
    if (!alive()) return false;
    if (done()) return true;
    if (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (!take(event)) passOn(event);
      continue;
    }
    const long long now = MonotonicMs();
    if (now >= nextTick) {
      tick();
      nextTick = now + tickMs;
      continue;
    }
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(nextTick - now));
  }
}
