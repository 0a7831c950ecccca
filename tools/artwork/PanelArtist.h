#pragma once

#include "LICE_MemBitmap.h"

#include <cstdint>

class ArtPainter;

// The background: a dark brushed-metal faceplate with the meter's cut-out,
// four screws, the knob scales, the legends OUTPUT and INPUT, an icon and a
// name per equaliser band, and the maker's mark at the bottom. Opaque.
class PanelArtist {
public:
  // seed: the brushing texture's noise seed.
  explicit PanelArtist(uint32_t seed = 0x5EED7A11u) : mSeed(seed) {}

  // Draws the panel into bitmap (the background strip's size).
  void Draw(LICE_IBitmap* bitmap) const;
  // The background image; the caller deletes it.
  LICE_MemBitmap* Render(int width, int height) const;

  // Scale geometry shared with the knobs: tick radii around a knob centre.
  static float BandScaleInner() { return 25.5f; }
  static float GainScaleInner() { return 34.5f; }

private:
  void DrawPlate(ArtPainter& painter) const;
  void DrawMeterCutOut(ArtPainter& painter) const;
  void DrawEqualiserPlate(ArtPainter& painter) const;
  void DrawScrew(ArtPainter& painter, float x, float y, float slotDegrees) const;
  void DrawGainScale(ArtPainter& painter, float cx, float cy) const;
  void DrawBandScale(ArtPainter& painter, float cx, float cy) const;
  void DrawBandIcon(ArtPainter& painter, int band, float cx, float cy) const;

  uint32_t mSeed;
};
