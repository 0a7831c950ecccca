#pragma once

// A user at the display while the editor's thread waits in one of its popups
// (a menu, a message box): on a connection and a thread of its own, it finds
// the popup's windows, looks at them and presses, moves and types with XTest,
// as the server would see a person do it. Include after GoogleTest: Xlib's
// macros would clash with it.

#include "IGraphicsStructs.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <string>
#include <thread>
#include <vector>

class X11PopupUser {
public:
  // Also installs the process's X error handler (as a host has one): errors
  // on the user's connection (a window that went while looked at) are
  // ignored, all others counted in HostErrors.
  X11PopupUser();
  // Waits for the script.
  ~X11PopupUser();
  X11PopupUser(const X11PopupUser&) = delete;
  X11PopupUser& operator=(const X11PopupUser&) = delete;

  bool Ready() const { return mDisplay != nullptr; }
  // Runs script on the user's thread, then destroys any popup still open
  // (a failure): a popup that failed to end cannot hang the test.
  void Start(std::function<void(X11PopupUser&)> script);
  void Finish();

  // The mapped top-level windows of class "TOLVEN" with that name, bottom to
  // top; waits up to three seconds for at least count of them (returning
  // what there is then).
  std::vector<::Window> WaitFor(const char* name, size_t count = 1);
  // Waits until exactly count such windows are mapped; false after three
  // seconds.
  bool WaitCount(const char* name, size_t count);
  // Whether no such window is mapped any more, waiting up to three seconds.
  bool WaitGone(const char* name);
  // Waits until window's pixel (x, y) is colour (0xRRGGBB): its picture is
  // up. False after three seconds.
  bool WaitPixel(::Window window, int x, int y, uint32_t colour);
  // Waits until the keyboard focus is on window; false after three seconds.
  bool WaitFocus(::Window window);
  // A window's box on the screen.
  IBox Box(::Window window);
  // A window's pixels (0xRRGGBB), row by row.
  std::vector<uint32_t> Pixels(::Window window);
  std::string Property(::Window window, const char* name);
  ::Window TransientFor(::Window window);

  void MoveTo(int x, int y);
  void Button(unsigned button, bool down);
  void Click(int x, int y, unsigned button = 1);
  void Key(unsigned long keysym, bool shift = false);
  // A client message as a window manager sends it to close a window.
  void AskToClose(::Window window);

  Display* display() const { return mDisplay; }
  // X errors the process's handler received from other connections than
  // the user's: none may come from the editor's.
  static int HostErrors();

private:
  std::vector<::Window> Mapped(const char* name);
  Display* mDisplay;
  std::thread mThread;
};

// Pixel helpers for a window's picture of width w.
inline uint32_t PixelOf(const std::vector<uint32_t>& pixels, int w, int x, int y) {
  return pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)];
}
// Pixels of colour in the row band [top, bottom) between left and right.
int CountColour(const std::vector<uint32_t>& pixels, int w, const IBox& area, uint32_t colour);
