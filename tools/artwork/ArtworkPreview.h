#pragma once

#include "LICE_MemBitmap.h"

#include <string>

// The editor as it will look: the strips from an image folder composed at
// their positions, each control at a chosen frame, blended the way the editor
// blends them (the background copied, everything else over it by its alpha).
class ArtworkPreview {
public:
  struct State {
    double high = 0.5, mid = 0.5, low = 0.5; // knob values 0..1
    double input = 0.5, output = 0.5;
    double meter = 0.0; // needle 0..1
    bool bypassed = false;
  };

  // Composes one editor (135 x 662) from the PNG files in folder; none if an
  // image is missing or has the wrong size. The caller deletes it.
  static LICE_MemBitmap* Compose(const std::string& folder, const State& state);
  // Several editors side by side with a gap; none on failure.
  static LICE_MemBitmap* ComposeSheet(const std::string& folder, const State* states, int count);
  // The frame a control shows for value (0-based), as the editor chooses it.
  static int FrameForValue(double value, int frames);
};
