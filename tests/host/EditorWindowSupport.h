#pragma once

// Shared pieces of the module editor-window tests: the reference pictures the
// headless snapshot code draws and the channel strip's control boxes.

#include "HostWindow.h"

#include <string>
#include <vector>

namespace editorwin {

// The editor exactly as the snapshot tool draws it headless: the channel
// strip at these normalised parameter values (index order; missing ones at
// their defaults) with the meter needle at meterLevel.
Picture Reference(const std::vector<double>& normalized, double meterLevel);
// The editor's control boxes in list order (0 background, 1..5 knobs high,
// mid, low, input, output, 6 the switch, 7 the meter).
std::vector<IBox> ControlBoxes();
// The centre of a box.
POINT Centre(const IBox& box);

// Writes a picture as PNG (for a failure's evidence and the docs picture).
bool SavePng(const Picture& picture, const std::string& path);

} // namespace editorwin
