#include "ArtPainter.h"

void ArtPainter::Clear(const ArtColour& colour) {
  if (!mTarget || !mTarget->Pixels()) return;
  const LICE_PixelWord word = ArtToPixel(colour);
  const int span = mTarget->RowSpan();
  for (int y = 0; y < mTarget->Height(); ++y) {
    LICE_PixelWord* row = mTarget->Pixels() + (long long)span * y;
    for (int x = 0; x < mTarget->Width(); ++x)
      row[x] = word;
  }
}

ArtColour ArtPainter::Pixel(int x, int y) const {
  if (!mTarget || !mTarget->Pixels() || x < 0 || y < 0 || x >= mTarget->Width() ||
      y >= mTarget->Height())
    return ArtColour{0.0f, 0.0f, 0.0f, 0.0f};
  return ArtFromPixel(mTarget->Pixels()[(long long)mTarget->RowSpan() * y + x]);
}

void ArtPainter::BlendPixel(int x, int y, const ArtColour& colour, float opacity) {
  if (!mTarget || !mTarget->Pixels() || x < 0 || y < 0 || x >= mTarget->Width() ||
      y >= mTarget->Height())
    return;
  const float sa = ArtClamp01(colour.a) * ArtClamp01(opacity);
  if (sa <= 0.0f) return;
  LICE_PixelWord& word = mTarget->Pixels()[(long long)mTarget->RowSpan() * y + x];
  const ArtColour d = ArtFromPixel(word);
  // Straight-alpha "over": the destination shows through by (1 - sa) of its
  // own alpha, and the colour is the alpha-weighted mean of both.
  const float keep = d.a * (1.0f - sa);
  const float oa = sa + keep;
  ArtColour out{(colour.r * sa + d.r * keep) / oa, (colour.g * sa + d.g * keep) / oa,
                (colour.b * sa + d.b * keep) / oa, oa};
  word = ArtToPixel(out);
}

void ArtPainter::BlendPixelAtop(int x, int y, const ArtColour& colour, float opacity) {
  if (!mTarget || !mTarget->Pixels() || x < 0 || y < 0 || x >= mTarget->Width() ||
      y >= mTarget->Height())
    return;
  const float sa = ArtClamp01(colour.a) * ArtClamp01(opacity);
  if (sa <= 0.0f) return;
  LICE_PixelWord& word = mTarget->Pixels()[(long long)mTarget->RowSpan() * y + x];
  const ArtColour d = ArtFromPixel(word);
  if (d.a <= 0.0f) return;
  word = ArtToPixel(ArtColour{d.r + (colour.r - d.r) * sa, d.g + (colour.g - d.g) * sa,
                              d.b + (colour.b - d.b) * sa, d.a});
}

bool ArtPainter::Clip(const ArtBounds& bounds, int& x0, int& y0, int& x1, int& y1) const {
  if (!mTarget || !mTarget->Pixels()) return false;
  if (!(bounds.left <= bounds.right) || !(bounds.top <= bounds.bottom)) return false;
  // Limited before the integer conversion, so absurd bounds cannot overflow.
  const float w = (float)mTarget->Width(), h = (float)mTarget->Height();
  auto limit = [](float v, float hi) { return std::clamp(v, -2.0f, hi + 2.0f); };
  // One pixel of margin: antialiased edges spill into the neighbours.
  x0 = std::max(0, (int)std::floor(limit(bounds.left, w)) - 1);
  y0 = std::max(0, (int)std::floor(limit(bounds.top, h)) - 1);
  x1 = std::min(mTarget->Width(), (int)std::ceil(limit(bounds.right, w)) + 1);
  y1 = std::min(mTarget->Height(), (int)std::ceil(limit(bounds.bottom, h)) + 1);
  return x0 < x1 && y0 < y1;
}
