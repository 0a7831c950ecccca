#pragma once

#include "ArtColour.h"
#include "ArtShapes.h"
#include "LICE_IBitmap.h"

#include <algorithm>
#include <cmath>

// Antialiased drawing into a raster library bitmap. A shape is a signed
// distance function (ArtShapes.h); its coverage of a pixel is measured on a
// 4 x 4 grid of sub-samples, each smoothed over its own quarter pixel, so edges
// come out with near-continuous coverage. A paint gives the colour (straight
// alpha) at a pixel centre. Pixels are combined with the "over" rule of
// straight-alpha colour, so transparent targets (knob frames) keep correct
// colour and alpha where they composite over the panel later.
class ArtPainter {
public:
  static constexpr int kSubSamples = 4;

  explicit ArtPainter(LICE_IBitmap* target) : mTarget(target) {}

  LICE_IBitmap* Target() const { return mTarget; }
  int Width() const { return mTarget ? mTarget->Width() : 0; }
  int Height() const { return mTarget ? mTarget->Height() : 0; }

  // Sets every pixel to colour (no blending).
  void Clear(const ArtColour& colour);
  // The pixel's colour; transparent black outside the bitmap.
  ArtColour Pixel(int x, int y) const;
  // Lays colour over the pixel at the given opacity (0..1); outside: nothing.
  void BlendPixel(int x, int y, const ArtColour& colour, float opacity);
  // The same, but the pixel keeps its alpha: paint on an existing surface
  // ("atop"), which cannot grow its outline.
  void BlendPixelAtop(int x, int y, const ArtColour& colour, float opacity);

  // Coverage (0..1) of the pixel (x, y) by shape.
  template <class Shape> static float Coverage(const Shape& shape, int x, int y) {
    const float cx = x + 0.5f, cy = y + 0.5f;
    const float centre = shape(cx, cy);
    // The farthest sub-sample lies 0.53 px from the centre; with its own
    // quarter-pixel smoothing nothing beyond 0.7 px can touch the pixel.
    if (centre > 0.7f) return 0.0f;
    if (centre < -0.7f) return 1.0f;
    const float step = 1.0f / kSubSamples;
    float sum = 0.0f;
    for (int j = 0; j < kSubSamples; ++j) {
      for (int i = 0; i < kSubSamples; ++i) {
        float d = shape(x + (i + 0.5f) * step, y + (j + 0.5f) * step);
        sum += ArtClamp01(0.5f - d * kSubSamples);
      }
    }
    return sum / (kSubSamples * kSubSamples);
  }

  // Fills shape (within bounds) with paint(x, y) evaluated at pixel centres.
  template <class Shape, class Paint>
  void Fill(const ArtBounds& bounds, const Shape& shape, const Paint& paint) {
    FillWith(bounds, shape, paint, false);
  }

  // Fills like Fill, painting onto what is there without changing alpha:
  // markings printed on a knob stay within its outline.
  template <class Shape, class Paint>
  void FillAtop(const ArtBounds& bounds, const Shape& shape, const Paint& paint) {
    FillWith(bounds, shape, paint, true);
  }

  template <class Shape>
  void FillSolid(const ArtBounds& bounds, const Shape& shape, const ArtColour& colour) {
    Fill(bounds, shape, [&colour](float, float) { return colour; });
  }

  // Fills shape with an edge blurred over +-softness pixels (shadows, glows):
  // the opacity falls smoothly from inside to outside, centred on the edge.
  template <class Shape, class Paint>
  void FillSoft(const ArtBounds& bounds, const Shape& shape, float softness, const Paint& paint) {
    int x0, y0, x1, y1;
    if (!Clip(ArtGrow(bounds, softness), x0, y0, x1, y1)) return;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        float d = shape(x + 0.5f, y + 0.5f);
        float opacity = 1.0f - ArtSmoothStep(-softness, softness, d);
        if (opacity <= 0.0f) continue;
        BlendPixel(x, y, paint(x + 0.5f, y + 0.5f), opacity);
      }
    }
  }

private:
  template <class Shape, class Paint>
  void FillWith(const ArtBounds& bounds, const Shape& shape, const Paint& paint, bool atop) {
    int x0, y0, x1, y1;
    if (!Clip(bounds, x0, y0, x1, y1)) return;
    for (int y = y0; y < y1; ++y) {
      for (int x = x0; x < x1; ++x) {
        float coverage = Coverage(shape, x, y);
        if (coverage <= 0.0f) continue;
        if (atop)
          BlendPixelAtop(x, y, paint(x + 0.5f, y + 0.5f), coverage);
        else
          BlendPixel(x, y, paint(x + 0.5f, y + 0.5f), coverage);
      }
    }
  }

  // Integer pixel range of bounds within the bitmap; false when empty.
  bool Clip(const ArtBounds& bounds, int& x0, int& y0, int& x1, int& y1) const;

  LICE_IBitmap* mTarget;
};
