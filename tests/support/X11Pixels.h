#pragma once

// Include after GoogleTest: Xlib's macros would clash with it.
#include <X11/Xlib.h>

#include <cstdint>
#include <vector>

// What the screen shows of window inside (x, y, width, height), row by row,
// as 0xRRGGBB; empty when the window cannot be read.
std::vector<uint32_t> X11WindowPixels(Display* display, ::Window window, int x, int y, int width,
                                      int height);
