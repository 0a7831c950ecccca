#pragma once

#include "LICE_MemBitmap.h"

// The IN switch: an illuminated push button in a dark bezel. The lit state
// glows warm amber, the dark one shows the unlit lens. Transparent around the
// bezel and its shadow.
class ButtonArtist {
public:
  // Draws the button lit or dark, filling frame.
  void DrawFrame(LICE_IBitmap* frame, bool lit) const;
  // Frame 1 lit, frame 2 dark; the caller deletes the strip.
  LICE_MemBitmap* RenderStrip(int width, int frameHeight) const;
};
