#include "KnobArtist.h"

#include "ArtLighting.h"
#include "ArtPainter.h"
#include "ArtStrip.h"
#include "ArtworkLayout.h"

#include <cmath>

namespace {

const ArtColour kBlack{0.0f, 0.0f, 0.0f, 1.0f};
const ArtColour kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// Where the skirt's flat top rolls over into the knurled rim.
float RimStart(const KnobStyle& s) {
  return s.skirtRadius - 0.2f * (s.skirtRadius - s.capRadius) - 2.0f;
}

// Surface tilt of the skirt at distance d from the centre: a shallow cone on
// top rolling over into the steep knurled rim.
float SkirtTilt(float d, const KnobStyle& s) {
  const float rimStart = RimStart(s);
  return 0.16f + 0.95f * ArtSmoothStep(rimStart - 1.2f, rimStart + 1.8f, d) +
         0.35f * ArtSmoothStep(s.skirtRadius - 1.5f, s.skirtRadius, d);
}

// Surface tilt of the cap: nearly flat, with a rounded edge.
float CapTilt(float d, const KnobStyle& s) {
  const float rho = d / s.capRadius;
  if (rho < 0.72f) return 0.12f * rho;
  const float t = (rho - 0.72f) / 0.28f;
  return 0.0864f + 1.15f * t * t;
}

} // namespace

void KnobArtist::DrawFrame(LICE_IBitmap* frame, float angleDegrees) const {
  if (!frame) return;
  ArtPainter painter(frame);
  const KnobStyle& s = mStyle;
  const float cx = frame->Width() * 0.5f, cy = frame->Height() * 0.5f;
  const float theta = ArtRadians(angleDegrees);
  const float ux = std::sin(theta), uy = -std::cos(theta);
  const float scale = s.skirtRadius / 22.5f;

  // Cast shadow toward the lower right (light from the upper left), and a
  // tight contact shadow where the skirt meets the panel.
  ArtCircle castShadow{cx + 1.6f * scale, cy + 2.6f * scale, s.skirtRadius - 0.5f};
  painter.FillSoft(castShadow.Bounds(), castShadow, 3.2f * scale,
                   [](float, float) { return ArtWithAlpha(kBlack, 0.55f); });
  ArtCircle contact{cx + 0.4f, cy + 0.9f, s.skirtRadius + 0.2f};
  painter.FillSoft(contact.Bounds(), contact, 1.1f,
                   [](float, float) { return ArtWithAlpha(kBlack, 0.45f); });

  // Skirt: lit per pixel from its tilted surface; the ridges tilt the rim's
  // normal sideways and turn with the knob.
  ArtMaterial skirtMaterial;
  skirtMaterial.ambient = 0.40f;
  skirtMaterial.diffuse = 0.70f;
  skirtMaterial.specular = 0.22f;
  skirtMaterial.shininess = 14.0f;
  const float rimStart = RimStart(s);
  auto skirtNormal = [&](float x, float y) {
    const float dx = x - cx, dy = y - cy;
    const float d = std::hypot(dx, dy);
    if (d <= 0.0f) return ArtVector{0.0f, 0.0f, 1.0f};
    const float tilt = SkirtTilt(d, s);
    ArtVector n = ArtTiltedNormal(dx, dy, tilt);
    const float rim = ArtSmoothStep(rimStart - 0.5f, rimStart + 1.5f, d);
    if (rim > 0.0f && s.ridges > 0) {
      const float phase = std::atan2(dy, dx) - theta;
      const float ridge = std::sin(s.ridges * phase);
      const float tx = -dy / d, ty = dx / d;
      n.x += tx * 0.8f * ridge * rim;
      n.y += ty * 0.8f * ridge * rim;
    }
    return n;
  };
  ArtCircle skirt{cx, cy, s.skirtRadius};
  painter.Fill(skirt.Bounds(), skirt, [&](float x, float y) {
    return ArtShade(s.skirt, skirtNormal(x, y), skirtMaterial);
  });
  // A fine bright edge where the rim catches the light.
  ArtRing edge{cx, cy, s.skirtRadius - 0.9f, s.skirtRadius - 0.1f};
  painter.FillAtop(edge.Bounds(), edge, [&](float x, float y) {
    const float facing = -((x - cx) * 0.55f + (y - cy) * 0.7f) / (s.skirtRadius * 0.89f);
    return ArtWithAlpha(kWhite, 0.22f * ArtClamp01(facing));
  });

  // The skirt's pointer line, painted on and lit like the surface under it.
  const float pw = s.pointerWidth * 0.5f;
  ArtCapsule skirtLine{cx + ux * (s.capRadius + 1.5f), cy + uy * (s.capRadius + 1.5f),
                       cx + ux * (s.skirtRadius - 1.1f), cy + uy * (s.skirtRadius - 1.1f), pw};
  painter.FillAtop(skirtLine.Bounds(), skirtLine, [&](float x, float y) {
    ArtMaterial m = skirtMaterial;
    m.ambient = 0.55f;
    m.diffuse = 0.5f;
    return ArtShade(s.pointer, skirtNormal(x, y), m);
  });

  // The cap throws a small shadow onto the skirt.
  ArtCircle capShadow{cx + 0.7f * scale, cy + 1.2f * scale, s.capRadius};
  painter.FillSoft(capShadow.Bounds(), capShadow, 1.6f * scale,
                   [](float, float) { return ArtWithAlpha(kBlack, 0.5f); });

  ArtMaterial capMaterial;
  if (s.spunMetalCap) {
    capMaterial.ambient = 0.42f;
    capMaterial.diffuse = 0.68f;
    capMaterial.specular = 0.30f;
    capMaterial.shininess = 30.0f;
  } else {
    capMaterial.ambient = 0.40f;
    capMaterial.diffuse = 0.72f;
    capMaterial.specular = 0.55f;
    capMaterial.shininess = 42.0f;
  }
  const float lightAngle = std::atan2(-0.7f, -0.55f);
  auto capColour = [&](float x, float y, const ArtColour& base) {
    const float dx = x - cx, dy = y - cy;
    const float d = std::hypot(dx, dy);
    ArtColour c = ArtShade(base, ArtTiltedNormal(dx, dy, CapTilt(d, s)), capMaterial);
    if (s.spunMetalCap && d < s.capRadius * 0.74f) {
      // Concentric machining: fine rings, and the bright "bow tie" where
      // the grooves lie across the light.
      const float rings = 0.025f * std::sin(d * 1.9f) + 0.012f * std::sin(d * 1.15f + 1.0f);
      const float across = std::fabs(std::cos(std::atan2(dy, dx) - lightAngle));
      const float sheen = 0.22f * std::pow(across, 8.0f) * ArtSmoothStep(0.0f, 3.0f, d);
      c = ArtColour{c.r + rings + sheen, c.g + rings + sheen, c.b + rings + sheen, c.a};
    }
    return c;
  };
  ArtCircle cap{cx, cy, s.capRadius};
  painter.Fill(cap.Bounds(), cap, [&](float x, float y) { return capColour(x, y, s.cap); });

  // The cap's line, from near the middle to just short of the edge.
  ArtCapsule capLine{cx + ux * s.capRadius * 0.22f, cy + uy * s.capRadius * 0.22f,
                     cx + ux * s.capRadius * 0.80f, cy + uy * s.capRadius * 0.80f, pw * 0.9f};
  painter.FillAtop(capLine.Bounds(), capLine,
                   [&](float x, float y) { return capColour(x, y, s.capPointer); });

  if (!s.spunMetalCap) {
    // Gloss on the plastic dome.
    ArtCircle glint{cx - 0.33f * s.capRadius, cy - 0.40f * s.capRadius, 0.16f * s.capRadius};
    painter.FillSoft(glint.Bounds(), glint, 0.28f * s.capRadius,
                     [](float, float) { return ArtWithAlpha(kWhite, 0.28f); });
  }
}

LICE_MemBitmap* KnobArtist::RenderStrip(int width, int frameHeight, int frames) const {
  return ArtStrip::Render(width, frameHeight, frames, [this, frames](LICE_IBitmap* frame, int i) {
    DrawFrame(frame, artwork_layout::KnobAngle(i, frames));
  });
}

KnobStyle KnobArtist::BandKnob(const ArtColour& cap) {
  KnobStyle s;
  s.skirt = ArtRgb(44, 45, 49);
  s.skirtRadius = 22.5f;
  s.capRadius = 15.0f;
  s.cap = cap;
  s.pointerWidth = 2.0f;
  s.ridges = 24;
  return s;
}

KnobStyle KnobArtist::GainKnob() {
  KnobStyle s;
  s.skirtRadius = 31.0f;
  s.capRadius = 21.0f;
  s.skirt = ArtRgb(40, 41, 44);
  s.cap = ArtRgb(176, 178, 182);
  s.capPointer = ArtRgb(24, 24, 26);
  s.pointerWidth = 2.6f;
  s.spunMetalCap = true;
  s.ridges = 32;
  return s;
}
