#pragma once

#include <string>

class IPlugBase;
class LICE_MemBitmap;

// The editor of a plug-in as the window would show it: every control drawn
// through the graphics core's Redraw over the whole editor area, at the
// plug-in's current parameter values, with the meter (the last control) at
// meterLevel. out becomes the editor's size. False with a message when the
// plug-in has no editor to draw.
bool ComposeEditor(IPlugBase& plugin, double meterLevel, LICE_MemBitmap& out, std::string& error);
