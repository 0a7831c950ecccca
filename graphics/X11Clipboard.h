#pragma once

#include <X11/Xlib.h>

#include <string>

// The text on the CLIPBOARD selection as UTF-8, asked for by window (which
// receives the answer on a property of its own): in one piece or, for large
// texts, in the incremental pieces the owner sends. An owner that does not
// answer (or is the host on this very thread) costs at most half a second
// per step. False, and text empty, without an owner, an answer in UTF-8 or a
// complete transfer; texts beyond 64 MB are refused. Calls happen inside the
// caller's X11ErrorTrap.
bool ReadX11Clipboard(Display* display, ::Window window, std::string& text);
