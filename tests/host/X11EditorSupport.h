#pragma once

// Shared pieces of the module editor tests on X11: this program as a host
// (its own connection and a top-level window), XTest input, and the headless
// snapshot's pictures to compare the editor's window with.

#include <X11/Xlib.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace x11editor {

constexpr int kWidth = 135;
constexpr int kHeight = 662;
// Points inside the high-gain knob and the bypass switch, editor coordinates.
constexpr int kKnobX = 62, kKnobY = 253;
constexpr int kSwitchX = 67, kSwitchY = 616;
// The meter at the top of the panel.
constexpr int kMeterL = 5, kMeterT = 4, kMeterR = 132, kMeterB = 71;

// Errors that reached the process-wide handler (the host's) from any
// connection but the hosts' own: none may come from an editor's.
extern std::atomic<int> gForeignErrors;

// A connection to $DISPLAY, or null. The first call also opens one that is
// never closed: an X server resets itself (and refuses connections
// meanwhile) whenever its last client leaves, and a host stays connected.
Display* OpenDisplay();

// This program as a host: its own connection and a top-level window.
struct XHost {
  Display* display = OpenDisplay();
  ::Window top = 0;

  explicit XHost(int x = 40, int y = 30);
  ~XHost();
  XHost(const XHost&) = delete;
  XHost& operator=(const XHost&) = delete;

  std::vector<::Window> Children() const;
  // The one child window (the editor's), or 0.
  ::Window Editor() const;
  // The editor's pixels as the screen shows them (0xRRGGBB), row by row.
  std::vector<uint32_t> Pixels() const;
  // Whether the meter area differs from picture's.
  bool MeterDiffers(const std::vector<uint32_t>& picture) const;
  // Whether everything below the meter equals picture.
  bool BelowMeterEquals(const std::vector<uint32_t>& picture) const;

  // The pointer to a point of the editor, as a user would move it.
  void MoveTo(int x, int y);
  void Button(unsigned button, bool down);
};

// The snapshot tool's picture of the editor with those arguments (0xRRGGBB);
// empty when the tool failed. A fresh instance's needle rests pinned right
// (--meter 1) until audio lets it fall.
std::vector<uint32_t> Reference(const std::string& arguments);

// Runs step (about 20 ms of the host's UI loop) until done() holds; false
// when it still does not after three seconds.
bool Within3s(const std::function<bool()>& done, const std::function<void()>& step);

// Differing pixels; -1 when the sizes differ.
int Mismatches(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);
// Where two pictures first differ, for failure messages.
std::string FirstDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);

} // namespace x11editor

// Skipped without a display; a display that is set but does not answer is
// a failure.
#define REQUIRE_DISPLAY(host)                                                                      \
  if (!(host).display) {                                                                           \
    ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "the X display does not answer";                 \
    GTEST_SKIP() << "no X display (run under xvfb-run)";                                           \
  }
