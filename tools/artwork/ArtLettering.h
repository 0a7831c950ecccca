#pragma once

#include "ArtColour.h"
#include "ArtPainter.h"

#include <vector>

enum class ArtAlign { Left, Centre, Right };

// Panel lettering drawn from strokes (lines and arcs with round ends), like
// engraved or screen-printed legends. It needs no font files, so the artwork
// is the same on every machine. Capitals, digits, '+', '-', '.' and space are
// defined; other characters advance like a space and draw nothing.
class ArtLettering {
public:
  // capHeight: height of a capital in pixels; stroke: line width in pixels;
  // tracking: extra pixels between characters.
  ArtLettering(float capHeight, float stroke, float tracking = 0.0f);

  // Width of the text's ink in pixels (0 for empty text).
  float Measure(const char* text) const;
  // Draws text with the capitals' top stroke centred on top (the ink reaches
  // half a stroke above it); x is the left edge, the centre or the right edge
  // of the ink as align says.
  void Draw(ArtPainter& painter, const char* text, float x, float top, ArtAlign align,
            const ArtColour& colour) const;

  static bool HasGlyph(char c);

  float CapHeight() const { return mCapHeight; }

  // One stroke of a glyph in capital-height units (y down, 0 = cap line,
  // 1 = baseline): a line from (a, b) to (c, d), or an arc around (a, b) with
  // radius c from angle d to e degrees (clockwise on screen).
  struct Stroke {
    char kind; // 'L' or 'A'
    float a, b, c, d, e;
  };
  struct Glyph {
    char code;
    float width; // centre-line extent in capital-height units
    std::vector<Stroke> strokes;
  };

private:
  const Glyph* Find(char c) const;
  float Advance(char c) const;

  float mCapHeight;
  float mStroke;
  float mTracking;
};
