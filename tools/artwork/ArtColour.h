#pragma once

#include "LICE_IBitmap.h"

#include <cmath>

// A straight-alpha colour with float channels 0..1, the currency of the artwork
// painter; converted to pixel words only when a pixel is blended.
struct ArtColour {
  float r = 0.0f;
  float g = 0.0f;
  float b = 0.0f;
  float a = 1.0f;
};

inline ArtColour ArtRgb(int r, int g, int b, float a = 1.0f) {
  return ArtColour{r / 255.0f, g / 255.0f, b / 255.0f, a};
}

inline float ArtClamp01(float v) {
  return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}

// Hermite step from 0 at edge0 to 1 at edge1 (either order).
inline float ArtSmoothStep(float edge0, float edge1, float v) {
  float t = ArtClamp01((v - edge0) / (edge1 - edge0));
  return t * t * (3.0f - 2.0f * t);
}

inline ArtColour ArtMix(const ArtColour& a, const ArtColour& b, float t) {
  return ArtColour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
                   a.a + (b.a - a.a) * t};
}

// Colour scaled by k (alpha kept): light and shade.
inline ArtColour ArtScale(const ArtColour& c, float k) {
  return ArtColour{c.r * k, c.g * k, c.b * k, c.a};
}

inline ArtColour ArtWithAlpha(const ArtColour& c, float a) {
  return ArtColour{c.r, c.g, c.b, a};
}

inline float ArtLuminance(const ArtColour& c) {
  return 0.299f * c.r + 0.587f * c.g + 0.114f * c.b;
}

inline int ArtToByte(float v) {
  return (int)std::lround(ArtClamp01(v) * 255.0f);
}

inline LICE_PixelWord ArtToPixel(const ArtColour& c) {
  return LICE_MakePixel(ArtToByte(c.r), ArtToByte(c.g), ArtToByte(c.b), ArtToByte(c.a));
}

inline ArtColour ArtFromPixel(LICE_PixelWord p) {
  return ArtColour{LICE_PixelRed(p) / 255.0f, LICE_PixelGreen(p) / 255.0f,
                   LICE_PixelBlue(p) / 255.0f, LICE_PixelAlpha(p) / 255.0f};
}
