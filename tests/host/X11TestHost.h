#pragma once

// Shared pieces of the X11 editor tests: this program as a Linux host (its
// own display connection and a top-level window the editor opens in), XTest
// input, the editor's pixels read back, and the snapshot tool's pictures to
// compare them with. Include after GoogleTest: Xlib's macros (None, Bool,
// ...) would clash with it.

#include <X11/Xlib.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace x11test {

// The channel strip's editor: its size, a point inside the high-gain knob
// and the bypass switch, and the meter's box at the top of the panel.
constexpr int kWidth = 135;
constexpr int kHeight = 662;
constexpr int kKnobX = 62, kKnobY = 253;
constexpr int kSwitchX = 67, kSwitchY = 616;
constexpr int kMeterL = 5, kMeterT = 4, kMeterR = 132, kMeterB = 71;

// X errors that reached the process-wide handler (the host's) from any
// connection but the host's own: none may come from the editor's.
extern std::atomic<int> gForeignErrors;

// A connection to the display, or null. The first call also opens one that
// stays open for good: an X server resets itself (refusing connections
// meanwhile) whenever its last client leaves, and a host always stays
// connected.
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
  // The one child window (the editor), or 0.
  ::Window Editor() const;
  // The editor's pixels as the screen shows them (0xRRGGBB), row by row.
  std::vector<uint32_t> Pixels() const;
  // The pointer to a point of the editor, as a user would move it.
  void MoveTo(int x, int y);
  void Button(unsigned button, bool down);
  // A left-button drag from one editor point to another in steps moves,
  // with idle() run for 20 ms after each event.
  void Drag(const std::function<void()>& idle, int fromX, int fromY, int toX, int toY, int steps);
};

// The snapshot tool's picture of the editor with those arguments (0xRRGGBB);
// empty when the tool failed. A fresh instance's needle rests pinned right
// (--meter 1) until audio lets it fall.
std::vector<uint32_t> Reference(const std::string& arguments);
// Pixels that differ; -1 for pictures of different sizes.
int Mismatches(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);
// Where two pictures first differ, for failure messages.
std::string FirstDifference(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);
// Whether the meter's box differs between two pictures of the editor.
bool MeterDiffers(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);
// Whether everything below the meter's box is equal in two pictures (the
// meter itself moves with the audio).
bool BelowMeterEquals(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b);

// What a host's UI loop does between frames: idle() every 2 ms for about ms
// milliseconds.
void IdleFor(const std::function<void()>& idle, int ms);
// Idles until done() holds; false after three seconds.
bool IdleUntil(const std::function<void()>& idle, const std::function<bool()>& done);

} // namespace x11test

// Skipped without a display; a display that is set but does not answer is
// a failure.
#define REQUIRE_DISPLAY(host)                                                                      \
  if (!(host).display) {                                                                           \
    ASSERT_EQ(std::getenv("DISPLAY"), nullptr) << "the X display does not answer";                 \
    GTEST_SKIP() << "no X display (run under xvfb-run)";                                           \
  }
