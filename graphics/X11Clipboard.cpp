#include "X11Clipboard.h"

#include "X11Modal.h"

#include <X11/Xatom.h>

#include <poll.h>

namespace {

constexpr int kWaitMs = 500;
constexpr size_t kMaxBytes = size_t{64} << 20;

// The event being waited for: a SelectionNotify to window, or a new value of
// its property atom.
struct Awaited {
  ::Window window;
  int type;
  Atom atom;
};

Bool Matches(Display*, XEvent* event, XPointer data) {
  const Awaited& awaited = *reinterpret_cast<const Awaited*>(data);
  if (event->xany.window != awaited.window || event->type != awaited.type) return False;
  if (event->type == PropertyNotify)
    return event->xproperty.atom == awaited.atom && event->xproperty.state == PropertyNewValue;
  return True;
}

// Other events stay queued for the editor.
bool Await(Display* display, Awaited awaited, XEvent& event) {
  const long long deadline = MonotonicMs() + kWaitMs;
  for (;;) {
    if (XCheckIfEvent(display, &event, Matches, reinterpret_cast<XPointer>(&awaited))) return true;
    const long long left = deadline - MonotonicMs();
    if (left <= 0) return false;
    pollfd fd{ConnectionNumber(display), POLLIN, 0};
    poll(&fd, 1, static_cast<int>(left));
    XEventsQueued(display, QueuedAfterReading);
  }
}

// Takes the property's whole value (deleting it, which asks an incremental
// owner for the next piece).
bool TakeProperty(Display* display, ::Window window, Atom property, Atom& type,
                  std::string& value) {
  int format = 0;
  unsigned long items = 0, after = 0;
  unsigned char* data = nullptr;
  const bool read =
      XGetWindowProperty(display, window, property, 0, static_cast<long>(kMaxBytes / 4), True,
                         AnyPropertyType, &type, &format, &items, &after, &data) == Success;
  // Text comes in bytes; the incremental announcement (its size) is not
  // needed.
  const bool ok = read && after == 0;
  value.clear();
  if (ok && data && format == 8) value.assign(reinterpret_cast<const char*>(data), items);
  if (data) XFree(data);
  return ok;
}

} // namespace

bool ReadX11Clipboard(Display* display, ::Window window, std::string& text) {
  text.clear();
  const Atom clipboard = XInternAtom(display, "CLIPBOARD", False);
  const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
  const Atom incremental = XInternAtom(display, "INCR", False);
  const Atom transfer = XInternAtom(display, "TOLVEN_SELECTION", False);
  if (XGetSelectionOwner(display, clipboard) == None) return false;
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes)) return false;
  // The pieces of an incremental transfer are announced as property changes.
  XSelectInput(display, window, attributes.your_event_mask | PropertyChangeMask);
  XDeleteProperty(display, window, transfer);
  XConvertSelection(display, clipboard, utf8, transfer, window, CurrentTime);
  XFlush(display);

  bool ok = false;
  XEvent event;
  Atom type = None;
  std::string value;
  if (Await(display, {window, SelectionNotify, 0}, event) && event.xselection.property != None &&
      TakeProperty(display, window, transfer, type, value)) {
    if (type == utf8) {
      text = value;
      ok = true;
    } else if (type == incremental) {
      // Each piece comes once the last was taken; an empty one ends it.
      for (;;) {
        if (!Await(display, {window, PropertyNotify, transfer}, event) ||
            !TakeProperty(display, window, transfer, type, value))
          break;
        // The announcement's own change notice: its value was taken already.
        if (type == None) continue;
        if (type != utf8) break;
        if (value.empty()) {
          ok = true;
          break;
        }
        if (text.size() + value.size() > kMaxBytes) break;
        text += value;
      }
    }
  }
  XSelectInput(display, window, attributes.your_event_mask);
  if (!ok) text.clear();
  return ok;
}
