#include "MeterArtist.h"

#include "ArtLettering.h"
#include "ArtLighting.h"
#include "ArtPainter.h"
#include "ArtStrip.h"
#include "ArtworkLayout.h"
#include "LICE_Composite.h"

#include <cmath>
#include <cstdio>

namespace {

const ArtColour kInk = ArtRgb(26, 23, 20);
const ArtColour kRed = ArtRgb(196, 30, 22);
const ArtColour kBlack{0.0f, 0.0f, 0.0f, 1.0f};
const ArtColour kWhite{1.0f, 1.0f, 1.0f, 1.0f};

// Radius of the scale's main arc around the pivot.
constexpr float kScaleRadius = 70.0f;

struct Window {
  float left, top, right, bottom, radius;
};

Window FaceWindow(int width, int height) {
  return {3.5f, 3.5f, width - 3.5f, height - 3.5f, 2.5f};
}

// Screen direction of the needle at angle degrees (0 = up, clockwise).
void Direction(float degrees, float& dx, float& dy) {
  const float a = ArtRadians(degrees);
  dx = std::sin(a);
  dy = -std::cos(a);
}

float VuAngle(float vu) {
  return artwork_layout::MeterAngle(artwork_layout::MeterFraction(vu));
}

} // namespace

MeterArtist::MeterArtist(int width, int height)
    : mWidth(width), mHeight(height), mFace(new LICE_MemBitmap(width, height)) {
  DrawFace(mFace.get());
}

void MeterArtist::DrawFace(LICE_IBitmap* face) const {
  ArtPainter painter(face);
  const float w = (float)mWidth, h = (float)mHeight;
  const float px = PivotX(), py = PivotY();

  // Bezel: dark satin metal, lit from above, with a bright upper edge.
  ArtRoundedRect whole{0.0f, 0.0f, w, h, 0.0f};
  painter.Fill(whole.Bounds(), whole, [&](float, float y) {
    const float t = y / h;
    return ArtMix(ArtRgb(54, 54, 57), ArtRgb(22, 22, 24), t);
  });
  ArtRoundedRect lip{0.0f, 0.0f, w, 1.0f, 0.0f};
  painter.FillSolid(lip.Bounds(), lip, ArtWithAlpha(kWhite, 0.18f));

  // The window's recessed edge, then the backlit face.
  const Window win = FaceWindow(mWidth, mHeight);
  ArtRoundedRect rebate{win.left - 1.2f, win.top - 1.2f, win.right + 1.2f, win.bottom + 1.2f,
                        win.radius + 1.0f};
  painter.FillSolid(rebate.Bounds(), rebate, ArtRgb(8, 8, 9));
  ArtRoundedRect window{win.left, win.top, win.right, win.bottom, win.radius};
  const ArtColour cream = ArtRgb(246, 234, 196);
  const ArtColour edge = ArtRgb(205, 180, 128);
  painter.Fill(window.Bounds(), window, [&](float x, float y) {
    const float dx = (x - px) / 72.0f, dy = (y - (h * 0.62f)) / 46.0f;
    const float glow = ArtClamp01(1.0f - (dx * dx + dy * dy) * 0.55f);
    return ArtMix(edge, cream, glow);
  });

  // Main scale line from -20 to 0 VU, and the red zone from 0 to +3.
  const float a20 = ArtRadians(VuAngle(-20.0f) - 90.0f);
  const float a0 = ArtRadians(VuAngle(0.0f) - 90.0f);
  const float a3 = ArtRadians(VuAngle(3.0f) - 90.0f);
  ArtArc line{px, py, kScaleRadius, a20, a0, 0.5f};
  painter.FillSolid(line.Bounds(), line, kInk);
  ArtArc redZone{px, py, kScaleRadius + 1.5f, a0, a3, 1.35f};
  painter.FillSolid(redZone.Bounds(), redZone, kRed);

  // Ticks: every labelled mark long, a few unlabelled ones short.
  struct Mark {
    float vu;
    const char* label;
  };
  const Mark marks[] = {{-20, "20"}, {-10, "10"}, {-7, "7"}, {-5, "5"}, {-3, "3"}, {-2, "2"},
                        {-1, "1"},   {0, "0"},    {1, "1"},  {2, "2"},  {3, "3"}};
  const float minor[] = {-15.0f, -6.0f, -4.0f, -0.5f, 0.5f, 1.5f, 2.5f};
  ArtLettering numbers(5.3f, 0.9f);
  for (const Mark& m : marks) {
    float dx, dy;
    Direction(VuAngle(m.vu), dx, dy);
    const ArtColour c = m.vu > 0.0f ? kRed : kInk;
    ArtCapsule tick{px + dx * (kScaleRadius - 0.2f), py + dy * (kScaleRadius - 0.2f),
                    px + dx * (kScaleRadius + 5.2f), py + dy * (kScaleRadius + 5.2f), 0.55f};
    painter.FillSolid(tick.Bounds(), tick, c);
    const float lr = kScaleRadius + 10.5f;
    numbers.Draw(painter, m.label, px + dx * lr, py + dy * lr - numbers.CapHeight() * 0.5f,
                 ArtAlign::Centre, c);
  }
  for (float vu : minor) {
    float dx, dy;
    Direction(VuAngle(vu), dx, dy);
    ArtCapsule tick{px + dx * kScaleRadius, py + dy * kScaleRadius, px + dx * (kScaleRadius + 3.0f),
                    py + dy * (kScaleRadius + 3.0f), 0.42f};
    painter.FillSolid(tick.Bounds(), tick, vu > 0.0f ? kRed : kInk);
  }

  // Signs near both ends, inside the arc and clear of the resting needle,
  // and the meter's name.
  ArtLettering signs(5.5f, 1.1f);
  const float sr = kScaleRadius - 9.0f;
  float dx, dy;
  Direction(VuAngle(-20.0f) + 7.0f, dx, dy);
  signs.Draw(painter, "-", px + dx * sr, py + dy * sr - 2.75f, ArtAlign::Centre, kInk);
  Direction(VuAngle(3.0f) - 5.0f, dx, dy);
  signs.Draw(painter, "+", px + dx * sr, py + dy * sr - 2.75f, ArtAlign::Centre, kRed);
  ArtLettering name(9.5f, 1.6f, 0.6f);
  name.Draw(painter, "VU", px, 36.5f, ArtAlign::Centre, kInk);
}

void MeterArtist::DrawFrame(LICE_IBitmap* frame, float fraction) const {
  if (!frame) return;
  frame->Resize(mWidth, mHeight);
  LICE_Composite(frame, mFace.get(), 0, 0);
  ArtPainter painter(frame);
  const float px = PivotX(), py = PivotY();
  const Window win = FaceWindow(mWidth, mHeight);
  ArtRoundedRect window{win.left, win.top, win.right, win.bottom, win.radius};
  // Everything below is drawn on the face only, never on the bezel.
  auto inWindow = [&window](float x, float y) { return window(x, y); };

  float dx, dy;
  Direction(artwork_layout::MeterAngle(fraction), dx, dy);
  const float tip = kScaleRadius + 4.6f;
  const float base = 38.0f;
  // Shadow of the needle on the face, a little below and right.
  ArtCapsule shadow{px + dx * base + 1.4f, py + dy * base + 1.8f, px + dx * tip + 1.4f,
                    py + dy * tip + 1.8f, 0.6f};
  auto shadowInWindow = [&](float x, float y) { return std::max(shadow(x, y), inWindow(x, y)); };
  painter.FillSoft(shadow.Bounds(), shadowInWindow, 0.9f,
                   [](float, float) { return ArtWithAlpha(kBlack, 0.20f); });
  ArtCapsule needle{px + dx * base, py + dy * base, px + dx * tip, py + dy * tip, 0.55f};
  ArtCapsule heavy{px + dx * base, py + dy * base, px + dx * (base + 16.0f),
                   py + dy * (base + 16.0f), 0.8f};
  auto needleShape = [&](float x, float y) {
    return std::max(std::min(needle(x, y), heavy(x, y)), inWindow(x, y));
  };
  painter.FillSolid(ArtUnite(needle.Bounds(), heavy.Bounds()), needleShape, ArtRgb(20, 18, 17));

  // The dark cover over the pivot, lit along its rounded top.
  ArtCircle cover{px, py, 40.0f};
  auto coverShape = [&](float x, float y) { return std::max(cover(x, y), inWindow(x, y)); };
  ArtMaterial coverMaterial;
  coverMaterial.specular = 0.25f;
  painter.Fill(cover.Bounds(), coverShape, [&](float x, float y) {
    const float d = std::hypot(x - px, y - py);
    const float tilt = 0.2f + 1.1f * ArtSmoothStep(cover.radius - 5.0f, cover.radius, d);
    return ArtShade(ArtRgb(40, 38, 37), ArtTiltedNormal(x - px, y - py, tilt), coverMaterial);
  });

  // The bezel's shadow inside the window's top and left edges, and the
  // glass's soft reflection across the upper left.
  painter.Fill(window.Bounds(), window, [&](float x, float y) {
    const float top = std::exp(-(y - win.top) / 2.2f);
    const float left = std::exp(-(x - win.left) / 2.6f);
    return ArtWithAlpha(kBlack, ArtClamp01(0.42f * top + 0.22f * left));
  });
  painter.Fill(window.Bounds(), window, [&](float x, float y) {
    const float band = y + 0.45f * x;
    const float sheen = 0.12f * (1.0f - ArtSmoothStep(26.0f, 40.0f, band));
    return ArtWithAlpha(kWhite, sheen);
  });
}

LICE_MemBitmap* MeterArtist::RenderStrip(int frames) const {
  return ArtStrip::Render(mWidth, mHeight, frames, [this, frames](LICE_IBitmap* frame, int i) {
    DrawFrame(frame, frames < 2 ? 0.0f : (float)i / (float)(frames - 1));
  });
}
