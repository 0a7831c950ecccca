#include "PanelArtist.h"

#include "ArtLettering.h"
#include "ArtLighting.h"
#include "ArtNoise.h"
#include "ArtPainter.h"
#include "ArtworkLayout.h"

#include <cmath>

namespace {

namespace layout = artwork_layout;

const ArtColour kLegend = ArtRgb(232, 226, 206);
const ArtColour kBlack{0.0f, 0.0f, 0.0f, 1.0f};
const ArtColour kWhite{1.0f, 1.0f, 1.0f, 1.0f};
const ArtColour kPlate = ArtRgb(50, 52, 56);

// Position along a knob's scale: 0 = lower left, 1 = lower right.
void ScalePoint(float cx, float cy, float fraction, float radius, float& x, float& y) {
  const float a = ArtRadians(-layout::kKnobSweep + 2.0f * layout::kKnobSweep * fraction);
  x = cx + radius * std::sin(a);
  y = cy - radius * std::cos(a);
}

void Tick(ArtPainter& painter, float cx, float cy, float fraction, float inner, float outer,
          float width, const ArtColour& colour) {
  float x0, y0, x1, y1;
  ScalePoint(cx, cy, fraction, inner, x0, y0);
  ScalePoint(cx, cy, fraction, outer, x1, y1);
  ArtCapsule tick{x0, y0, x1, y1, width * 0.5f};
  painter.FillSolid(tick.Bounds(), tick, colour);
}

// Text centred on a point.
void Label(ArtPainter& painter, const ArtLettering& font, const char* text, float x, float y,
           const ArtColour& colour) {
  font.Draw(painter, text, x, y - font.CapHeight() * 0.5f, ArtAlign::Centre, colour);
}

} // namespace

LICE_MemBitmap* PanelArtist::Render(int width, int height) const {
  LICE_MemBitmap* bitmap = new LICE_MemBitmap(width, height);
  Draw(bitmap);
  return bitmap;
}

void PanelArtist::Draw(LICE_IBitmap* bitmap) const {
  if (!bitmap || !bitmap->Pixels()) return;
  ArtPainter painter(bitmap);
  DrawPlate(painter);
  DrawMeterCutOut(painter);
  DrawEqualiserPlate(painter);

  const float screwY0 = 88.5f, screwY1 = layout::kEditorHeight - 11.5f;
  DrawScrew(painter, 10.5f, screwY0, 22.0f);
  DrawScrew(painter, layout::kEditorWidth - 10.5f, screwY0, -31.0f);
  DrawScrew(painter, 10.5f, screwY1, 47.0f);
  DrawScrew(painter, layout::kEditorWidth - 10.5f, screwY1, 8.0f);

  DrawGainScale(painter, layout::CentreX(layout::kOutput), layout::CentreY(layout::kOutput));
  DrawGainScale(painter, layout::CentreX(layout::kInput), layout::CentreY(layout::kInput));
  const layout::Strip bands[] = {layout::kHigh, layout::kMid, layout::kLow};
  const char* names[] = {"HF", "MF", "LF"};
  ArtLettering bandFont(7.0f, 1.3f, 0.8f);
  for (int i = 0; i < 3; ++i) {
    const float cx = layout::CentreX(bands[i]), cy = layout::CentreY(bands[i]);
    DrawBandScale(painter, cx, cy);
    DrawBandIcon(painter, i, 19.0f, cy);
    Label(painter, bandFont, names[i], layout::kEditorWidth - 18.5f, cy, kLegend);
  }

  ArtLettering legend(7.0f, 1.3f, 1.6f);
  Label(painter, legend, "OUTPUT", layout::CentreX(layout::kOutput), 86.0f, kLegend);
  Label(painter, legend, "INPUT", layout::CentreX(layout::kInput), 466.5f, kLegend);
  ArtLettering brand(5.5f, 1.0f, 2.4f);
  Label(painter, brand, "TOLVEN", layout::kEditorWidth * 0.5f, screwY1,
        ArtWithAlpha(kLegend, 0.75f));
}

void PanelArtist::DrawPlate(ArtPainter& painter) const {
  const ArtNoise noise(mSeed);
  const int w = painter.Width(), h = painter.Height();
  const float visible = (float)layout::kEditorHeight;
  // Brushed metal: streaks along the grain, a faint sheen toward the top.
  ArtRoundedRect all{0.0f, 0.0f, (float)w, (float)h, 0.0f};
  painter.Fill(all.Bounds(), all, [&](float x, float y) {
    const float grain = noise.Brushed(x, y);
    const float sheen = 0.05f * (1.0f - y / visible);
    const float k = 1.0f + 0.11f * grain + sheen;
    return ArtScale(kPlate, k);
  });
  // Bevelled edges of the faceplate: lit top and left, shaded right and bottom.
  ArtRoundedRect top{0.0f, 0.0f, (float)w, 1.0f, 0.0f};
  painter.FillSolid(top.Bounds(), top, ArtWithAlpha(kWhite, 0.16f));
  ArtRoundedRect left{0.0f, 0.0f, 1.0f, visible, 0.0f};
  painter.FillSolid(left.Bounds(), left, ArtWithAlpha(kWhite, 0.12f));
  ArtRoundedRect right{w - 1.0f, 0.0f, (float)w, visible, 0.0f};
  painter.FillSolid(right.Bounds(), right, ArtWithAlpha(kBlack, 0.45f));
  ArtRoundedRect bottom{0.0f, visible - 1.0f, (float)w, visible, 0.0f};
  painter.FillSolid(bottom.Bounds(), bottom, ArtWithAlpha(kBlack, 0.45f));
}

void PanelArtist::DrawMeterCutOut(ArtPainter& painter) const {
  const layout::Strip& m = layout::kMeter;
  // The meter sits in an opening a little larger than its own bezel: a dark
  // gap with a lit lower edge, as light from above would show it.
  ArtRoundedRect gap{m.x - 1.8f, m.y - 1.8f, m.x + m.width + 1.8f, m.y + m.frameHeight + 1.8f,
                     2.0f};
  painter.FillSoft(gap.Bounds(), gap, 0.8f,
                   [](float, float) { return ArtWithAlpha(ArtRgb(6, 6, 7), 0.95f); });
  ArtRoundedRect lip{m.x - 1.0f, m.y + m.frameHeight + 1.6f, m.x + m.width + 1.0f,
                     m.y + m.frameHeight + 2.6f, 0.0f};
  painter.FillSolid(lip.Bounds(), lip, ArtWithAlpha(kWhite, 0.14f));
}

void PanelArtist::DrawEqualiserPlate(ArtPainter& painter) const {
  // The three bands share a slightly sunken field, so they read as one section.
  const float top = layout::kHigh.y - 8.5f;
  const float bottom = layout::kLow.y + layout::kLow.frameHeight + 2.5f;
  ArtRoundedRect field{4.5f, top, layout::kEditorWidth - 4.5f, bottom, 5.0f};
  painter.FillSolid(field.Bounds(), field, ArtWithAlpha(kBlack, 0.16f));
  // Recessed edge: the walls facing away from the light lie in shadow, the
  // ones facing it catch a thin line of light.
  const ArtVector light = ArtLightDirection();
  painter.Fill(field.Bounds(), field, [&](float x, float y) {
    const float e = 0.25f;
    const float gx = field(x + e, y) - field(x - e, y);
    const float gy = field(x, y + e) - field(x, y - e);
    const float len = std::hypot(gx, gy);
    const float towardLight = len > 0.0f ? (gx * light.x + gy * light.y) / len : 0.0f;
    const float edge = std::exp(field(x, y) / 1.1f);
    return towardLight > 0.0f ? ArtWithAlpha(kBlack, 0.55f * towardLight * edge)
                              : ArtWithAlpha(kWhite, -0.22f * towardLight * edge);
  });
}

void PanelArtist::DrawScrew(ArtPainter& painter, float x, float y, float slotDegrees) const {
  const float r = 4.4f;
  ArtCircle hole{x + 0.3f, y + 0.5f, r + 0.6f};
  painter.FillSoft(hole.Bounds(), hole, 0.9f,
                   [](float, float) { return ArtWithAlpha(kBlack, 0.7f); });
  ArtMaterial steel;
  steel.ambient = 0.38f;
  steel.diffuse = 0.75f;
  steel.specular = 0.55f;
  steel.shininess = 30.0f;
  ArtCircle head{x, y, r};
  painter.Fill(head.Bounds(), head, [&](float px, float py) {
    const float d = std::hypot(px - x, py - y);
    return ArtShade(ArtRgb(150, 152, 156), ArtTiltedNormal(px - x, py - y, 0.9f * d / r), steel);
  });
  // Cross recess: dark slots with their lower-right walls catching light.
  const float a = ArtRadians(slotDegrees);
  for (int i = 0; i < 2; ++i) {
    const float ang = a + i * kArtPi * 0.5f;
    const float dx = std::cos(ang) * 2.6f, dy = std::sin(ang) * 2.6f;
    ArtCapsule lit{x - dx + 0.45f, y - dy + 0.45f, x + dx + 0.45f, y + dy + 0.45f, 0.6f};
    painter.FillSolid(lit.Bounds(), lit, ArtWithAlpha(kWhite, 0.35f));
    ArtCapsule slot{x - dx, y - dy, x + dx, y + dy, 0.62f};
    painter.FillSolid(slot.Bounds(), slot, ArtRgb(28, 28, 30));
  }
}

void PanelArtist::DrawGainScale(ArtPainter& painter, float cx, float cy) const {
  const float inner = GainScaleInner();
  // -24..+24 dB in 3 dB steps; every 12 dB long and numbered.
  for (int i = 0; i <= 16; ++i) {
    const float f = i / 16.0f;
    if (i % 4 == 0)
      Tick(painter, cx, cy, f, inner, inner + 6.0f, 1.4f, kLegend);
    else
      Tick(painter, cx, cy, f, inner, inner + (i % 2 == 0 ? 4.2f : 3.0f), 0.9f,
           ArtWithAlpha(kLegend, 0.85f));
  }
  ArtLettering numbers(5.5f, 0.95f);
  const char* labels[] = {"-24", "-12", "0", "+12", "+24"};
  for (int i = 0; i < 5; ++i) {
    float x, y;
    ScalePoint(cx, cy, i / 4.0f, inner + 13.0f, x, y);
    Label(painter, numbers, labels[i], x, y, kLegend);
  }
}

void PanelArtist::DrawBandScale(ArtPainter& painter, float cx, float cy) const {
  const float inner = BandScaleInner();
  for (int i = 0; i <= 10; ++i) {
    const float f = i / 10.0f;
    if (i % 5 == 0)
      Tick(painter, cx, cy, f, inner, inner + 5.0f, 1.3f, kLegend);
    else
      Tick(painter, cx, cy, f, inner, inner + 2.8f, 0.9f, ArtWithAlpha(kLegend, 0.85f));
  }
  // Cut and boost at the ends of the travel.
  ArtLettering signs(5.0f, 1.0f);
  float x, y;
  ScalePoint(cx, cy, -0.045f, inner + 7.5f, x, y);
  Label(painter, signs, "-", x, y, kLegend);
  ScalePoint(cx, cy, 1.045f, inner + 7.5f, x, y);
  Label(painter, signs, "+", x, y, kLegend);
}

void PanelArtist::DrawBandIcon(ArtPainter& painter, int band, float cx, float cy) const {
  // The band's response drawn as a curve: a shelf rising toward the highs,
  // a bell in the middle, a shelf rising toward the lows.
  const float width = 22.0f, height = 9.0f;
  ArtPolyline curve;
  curve.halfWidth = 0.75f;
  const int points = 40;
  for (int i = 0; i < points; ++i) {
    const float t = i / (float)(points - 1);
    float v;
    if (band == 0)
      v = 1.0f / (1.0f + std::exp(-(t - 0.58f) * 11.0f));
    else if (band == 1)
      v = std::exp(-std::pow((t - 0.5f) / 0.17f, 2.0f));
    else
      v = 1.0f / (1.0f + std::exp((t - 0.42f) * 11.0f));
    curve.Add(cx - width * 0.5f + t * width, cy + height * 0.5f - v * height);
  }
  painter.FillSolid(curve.Bounds(), curve, kLegend);
  // A faint zero line under the curve.
  ArtCapsule axis{cx - width * 0.5f, cy + height * 0.5f + 0.2f, cx + width * 0.5f,
                  cy + height * 0.5f + 0.2f, 0.35f};
  painter.FillSolid(axis.Bounds(), axis, ArtWithAlpha(kLegend, 0.35f));
}
