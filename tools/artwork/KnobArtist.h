#pragma once

#include "ArtColour.h"
#include "LICE_MemBitmap.h"

// How one kind of knob looks: a dark knurled skirt carrying a pointer line,
// topped by a coloured (or spun-metal) cap with a line of its own.
struct KnobStyle {
  float skirtRadius = 22.5f;
  float capRadius = 15.5f;
  ArtColour skirt = ArtRgb(34, 35, 38);
  ArtColour cap = ArtRgb(180, 40, 34);
  ArtColour pointer = ArtRgb(240, 236, 222);    // line on the skirt
  ArtColour capPointer = ArtRgb(246, 242, 230); // line on the cap
  float pointerWidth = 2.0f;
  bool spunMetalCap = false; // concentric machining marks instead of glossy plastic
  // Grip ridges around the rim; they turn with the knob. A multiple of 8
  // lines the ridges up exactly at the two ends and the centre of the sweep.
  int ridges = 24;
};

// Draws knob frames: the skirt, ridges and pointers turn, the lighting and the
// cast shadow stay put, and everything outside the knob and its shadow is
// transparent so the panel's scale shows around it.
class KnobArtist {
public:
  explicit KnobArtist(const KnobStyle& style) : mStyle(style) {}

  const KnobStyle& Style() const { return mStyle; }

  // Draws the knob turned to angleDegrees (0 = pointer up, clockwise
  // positive) centred in frame, over whatever frame holds.
  void DrawFrame(LICE_IBitmap* frame, float angleDegrees) const;

  // A strip of frames turning from -135 to +135 degrees; the caller deletes it.
  LICE_MemBitmap* RenderStrip(int width, int frameHeight, int frames) const;

  // The styles of this panel: small equaliser knobs with a coloured cap, and
  // the large gain knobs with a spun aluminium cap.
  static KnobStyle BandKnob(const ArtColour& cap);
  static KnobStyle GainKnob();

private:
  KnobStyle mStyle;
};
