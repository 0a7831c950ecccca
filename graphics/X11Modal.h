#pragma once

#include <X11/Xlib.h>

#include <functional>

// Milliseconds of the monotonic clock.
long long MonotonicMs();

// How a popup of the X11 editor (a menu, a message box) waits for the user.
// The popup's caller expects an answer, so the popup reads the editor's
// connection itself until it is done, on the host's UI thread and without a
// thread of its own. Meanwhile the editor stays alive (its exposures are
// painted, its redraw tick runs at its period, so the meter keeps moving)
// while its input goes nowhere, as with any modal popup.
struct X11Modal {
  Display* display = nullptr;
  Visual* visual = nullptr; // the editor's, for the popup's windows
  int depth = 0;
  int tickMs = 40;
  // False once the editor's window or its connection is gone: the popup
  // then ends without an answer.
  std::function<bool()> alive;
  // False once the connection broke: nothing more may be sent on it.
  std::function<bool()> connected;
  // An event that was not the popup's.
  std::function<void(XEvent&)> passOn;
  std::function<void()> tick;

  // Reads events until done() holds (true) or the editor is gone (false);
  // take(event) sees each event first and says whether it was the popup's.
  bool Run(const std::function<bool(XEvent&)>& take, const std::function<bool()>& done) const;
};
