#pragma once

#include "LICE_MemBitmap.h"

#include <functional>

// Builds an image strip: frames of equal size stacked top to bottom, each
// drawn on its own transparent bitmap and copied into place with the raster
// library's compositor.
class ArtStrip {
public:
  using FrameArtist = std::function<void(LICE_IBitmap* frame, int index)>;

  // The strip, or none when a size is not positive; the caller deletes it.
  static LICE_MemBitmap* Render(int width, int frameHeight, int frames, const FrameArtist& draw);
  // Copies frame index of strip into frame (resized to width x frameHeight).
  static bool ExtractFrame(LICE_IBitmap* strip, int frameHeight, int index, LICE_IBitmap* frame);
};
