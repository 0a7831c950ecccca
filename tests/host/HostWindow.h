#pragma once

// A real top-level host window for editor-window tests on Windows, with the
// message pump, reading a window's pixels back and posted mouse input.

#include "IGraphicsStructs.h"

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <vector>

namespace editorwin {

constexpr const char* kEditorClass = "IPlugWndClass";
constexpr const char* kEditorTitle = "IPlug";

// A top-level window as a DAW gives a plug-in: the editor opens as its
// child. Records the keys that reach it.
class HostWindow {
public:
  HostWindow(int x = 40, int y = 30, int width = 320, int height = 760,
             const char* title = "TOLVEN test host");
  ~HostWindow();
  HostWindow(const HostWindow&) = delete;
  HostWindow& operator=(const HostWindow&) = delete;

  HWND Handle() const { return mWindow; }
  // Destroys the window now, with whatever is inside it (as hosts do).
  void Destroy();
  // The editor window inside it, or null.
  HWND Editor() const;
  // WM_KEYDOWN virtual keys that reached this window.
  std::vector<WPARAM> KeysDown() const { return mKeysDown; }
  std::vector<WPARAM> KeysUp() const { return mKeysUp; }

private:
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  HWND mWindow = nullptr;
  std::vector<WPARAM> mKeysDown;
  std::vector<WPARAM> mKeysUp;
};

// Dispatches this thread's messages for about ms milliseconds.
void Pump(int ms);
// Pumps until done() holds or ms milliseconds passed; whether it held.
template <class Done> bool PumpUntil(Done done, int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    Pump(10);
  }
  return true;
}

// An RGB picture (0x00RRGGBB per pixel, rows top to bottom).
struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> rgb;
  std::uint32_t At(int x, int y) const {
    return rgb[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x];
  }
};

// The client area of a window as it is on screen (with withFrame the whole
// window, caption and borders included), read with BitBlt from its device
// context.
Picture Capture(HWND window, bool withFrame = false);
// Pixels that differ between two pictures inside box (the whole picture
// when box is empty); a size mismatch counts every pixel.
int Differences(const Picture& a, const Picture& b, const IBox& box = IBox());
// Mouse input as the system delivers it: client coordinates in lParam,
// buttons and modifiers in wParam.
void PostMouse(HWND window, UINT message, int x, int y, WPARAM keys = 0);
// A wheel turn over client point (x, y) of window (screen coordinates in
// lParam, as the system sends them).
void PostWheel(HWND window, int x, int y, int delta, WPARAM keys = 0);

// The module (HMODULE) containing an address, e.g. an entry point.
HMODULE ModuleOf(const void* address);
// Whether that module has the editor's window class registered.
bool EditorClassRegistered(HMODULE module);

} // namespace editorwin
