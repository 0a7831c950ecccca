#pragma once

#include <X11/Xlib.h>

// Xlib has one process-wide error handler, normally the host's, and its
// default ends the process. Around every call an editor makes on its own
// connection a trap is open: errors on the editors' connections are counted
// and swallowed, everything else goes to the handler the trap replaced.
//
// Traps nest (an event handler may reach the host, which may call another
// editor) and may overlap across threads: the first to open swaps the
// handlers in, the last to close puts them back.
class X11ErrorTrap {
public:
  X11ErrorTrap();
  ~X11ErrorTrap();
  X11ErrorTrap(const X11ErrorTrap&) = delete;
  X11ErrorTrap& operator=(const X11ErrorTrap&) = delete;

  // Waits until the server has answered everything sent so far (so no error
  // can arrive once the trap is gone); true when nothing in this scope failed.
  bool Sync(Display* display);

  // The editors' own connections: only their errors are swallowed.
  static void AddEditorDisplay(Display* display);
  static void RemoveEditorDisplay(Display* display);

private:
  unsigned mStart;
};
