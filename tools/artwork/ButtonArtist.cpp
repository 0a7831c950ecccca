#include "ButtonArtist.h"

#include "ArtLettering.h"
#include "ArtLighting.h"
#include "ArtPainter.h"
#include "ArtStrip.h"

#include <cmath>

namespace {

const ArtColour kBlack{0.0f, 0.0f, 0.0f, 1.0f};
const ArtColour kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// The normal of a bevelled edge: within width pixels of the shape's edge the
// surface rolls away outward (along the distance gradient).
template <class Shape> ArtVector BevelNormal(const Shape& shape, float x, float y, float width) {
  const float e = 0.25f;
  const float gx = shape(x + e, y) - shape(x - e, y);
  const float gy = shape(x, y + e) - shape(x, y - e);
  const float depth = -shape(x, y);
  const float t = 1.0f - ArtSmoothStep(0.0f, width, depth);
  return ArtTiltedNormal(gx, gy, 1.1f * t);
}

} // namespace

void ButtonArtist::DrawFrame(LICE_IBitmap* frame, bool lit) const {
  if (!frame) return;
  ArtPainter painter(frame);
  const float w = (float)frame->Width(), h = (float)frame->Height();

  // Bezel with its cast shadow.
  ArtRoundedRect bezel{2.0f, 2.0f, w - 3.0f, h - 3.5f, 6.0f};
  ArtRoundedRect shadow{bezel.left + 1.2f, bezel.top + 2.0f, bezel.right + 1.2f,
                        bezel.bottom + 2.0f, bezel.radius};
  painter.FillSoft(shadow.Bounds(), shadow, 1.8f,
                   [](float, float) { return ArtWithAlpha(kBlack, 0.6f); });
  ArtMaterial metal;
  metal.ambient = 0.42f;
  metal.diffuse = 0.7f;
  metal.specular = 0.3f;
  metal.shininess = 18.0f;
  painter.Fill(bezel.Bounds(), bezel, [&](float x, float y) {
    const ArtColour base = ArtMix(ArtRgb(66, 67, 71), ArtRgb(38, 39, 42), y / h);
    return ArtShade(base, BevelNormal(bezel, x, y, 2.6f), metal);
  });

  // The lens sits in a dark rebate.
  const float inset = 6.5f;
  ArtRoundedRect rebate{bezel.left + inset - 1.3f, bezel.top + inset - 1.3f,
                        bezel.right - inset + 1.3f, bezel.bottom - inset + 1.3f, 3.8f};
  painter.FillSolid(rebate.Bounds(), rebate, ArtRgb(10, 10, 11));
  ArtRoundedRect lens{bezel.left + inset, bezel.top + inset, bezel.right - inset,
                      bezel.bottom - inset, 2.8f};
  const float lcx = (lens.left + lens.right) * 0.5f, lcy = (lens.top + lens.bottom) * 0.5f;
  const float lw = (lens.right - lens.left) * 0.5f, lh = (lens.bottom - lens.top) * 0.5f;

  if (lit) {
    // Warm glow spilling over the bezel around the lens.
    painter.FillSoft(lens.Bounds(), lens, 4.5f,
                     [](float, float) { return ArtWithAlpha(ArtRgb(255, 150, 40), 0.45f); });
  }
  painter.Fill(lens.Bounds(), lens, [&](float x, float y) {
    const float dx = (x - lcx) / lw, dy = (y - lcy) / lh;
    const float r2 = dx * dx * 0.7f + dy * dy;
    if (lit) {
      const float hot = ArtClamp01(1.0f - r2 * 0.65f);
      return ArtMix(ArtRgb(226, 108, 18), ArtRgb(255, 214, 130), hot * hot);
    }
    const float body = ArtClamp01(1.0f - r2 * 0.5f);
    return ArtMix(ArtRgb(40, 30, 22), ArtRgb(74, 56, 40), body);
  });

  // The legend, printed on the lens.
  ArtLettering legend(12.0f, 2.3f, 1.5f);
  const ArtColour ink = lit ? ArtRgb(92, 34, 6, 0.92f) : ArtRgb(16, 11, 8, 0.9f);
  legend.Draw(painter, "IN", lcx, lcy - 6.0f, ArtAlign::Centre, ink);

  // Glass: a soft highlight over the top half and a shade at the bottom lip.
  painter.Fill(lens.Bounds(), lens, [&](float, float y) {
    const float t = (y - lens.top) / (lens.bottom - lens.top);
    const float top = 0.30f * (1.0f - ArtSmoothStep(0.0f, 0.5f, t));
    return ArtWithAlpha(kWhite, lit ? top * 0.8f : top * 0.55f);
  });
  painter.Fill(lens.Bounds(), lens, [&](float, float y) {
    const float depth = y - lens.top;
    return ArtWithAlpha(kBlack, 0.35f * std::exp(-depth / 1.6f));
  });
}

LICE_MemBitmap* ButtonArtist::RenderStrip(int width, int frameHeight) const {
  return ArtStrip::Render(width, frameHeight, 2,
                          [this](LICE_IBitmap* frame, int i) { DrawFrame(frame, i == 0); });
}
