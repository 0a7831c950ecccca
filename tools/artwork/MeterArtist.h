#pragma once

#include "LICE_MemBitmap.h"

#include <memory>

// The VU meter: a backlit cream face in a dark bezel with a -20..+3 VU scale,
// red zone from 0 to +3, "VU" lettering and a black needle on a pivot hidden
// under a dark cover at the bottom, behind glass. Opaque.
class MeterArtist {
public:
  MeterArtist(int width, int height);

  // Draws the meter with the needle at fraction (0 = resting far left,
  // 1 = far right; deflection proportional to the level).
  void DrawFrame(LICE_IBitmap* frame, float fraction) const;

  // The strip: frame k shows fraction k / (frames - 1). Caller deletes.
  LICE_MemBitmap* RenderStrip(int frames) const;

  // Where the needle turns, in frame coordinates (below the visible face).
  float PivotX() const { return mWidth * 0.5f; }
  float PivotY() const { return mHeight + 33.0f; }

private:
  void DrawFace(LICE_IBitmap* face) const;

  int mWidth;
  int mHeight;
  std::unique_ptr<LICE_MemBitmap> mFace; // everything under the needle, drawn once
};
