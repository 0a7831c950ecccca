#include "ArtLettering.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace {

using Glyph = ArtLettering::Glyph;
using S = ArtLettering::Stroke;

S L(float x0, float y0, float x1, float y1) {
  return S{'L', x0, y0, x1, y1, 0.0f};
}
S A(float cx, float cy, float r, float from, float to) {
  return S{'A', cx, cy, r, from, to};
}

// A geometric sans-serif in the manner of panel engraving: round joins, even
// stroke, bowls built from half circles.
const std::vector<Glyph>& Glyphs() {
  static const std::vector<Glyph> glyphs = {
      {'0',
       0.56f,
       {A(.28f, .28f, .28f, 180, 360), A(.28f, .72f, .28f, 0, 180), L(0, .28f, 0, .72f),
        L(.56f, .28f, .56f, .72f)}},
      {'1', 0.30f, {L(0, .2f, .3f, 0), L(.3f, 0, .3f, 1)}},
      {'2', 0.56f, {A(.28f, .28f, .28f, 190, 380), L(.543f, .376f, 0, 1), L(0, 1, .56f, 1)}},
      {'3',
       0.54f,
       {A(.27f, .25f, .25f, 200, 450), A(.27f, .76f, .26f, 270, 520), L(.14f, .5f, .27f, .5f)}},
      {'4', 0.58f, {L(.44f, 1, .44f, 0), L(.44f, 0, 0, .7f), L(0, .7f, .58f, .7f)}},
      {'5',
       0.56f,
       {L(.53f, 0, .07f, 0), L(.07f, 0, .05f, .47f), L(.05f, .47f, .086f, .4745f),
        A(.28f, .69f, .29f, 228, 500)}},
      {'6', 0.56f, {A(.28f, .71f, .28f, 0, 360), L(.46f, .02f, .03f, .64f)}},
      {'7', 0.54f, {L(0, 0, .54f, 0), L(.54f, 0, .16f, 1)}},
      {'8', 0.56f, {A(.28f, .25f, .24f, 0, 360), A(.28f, .73f, .27f, 0, 360)}},
      {'9', 0.56f, {A(.28f, .29f, .28f, 0, 360), L(.53f, .36f, .1f, .98f)}},
      {'+', 0.56f, {L(.28f, .3f, .28f, .86f), L(0, .58f, .56f, .58f)}},
      {'-', 0.36f, {L(0, .58f, .36f, .58f)}},
      {'.', 0.0f, {L(0, 1, 0, 1)}},
      {' ', 0.40f, {}},
      {'A', 0.66f, {L(0, 1, .33f, 0), L(.33f, 0, .66f, 1), L(.12f, .66f, .54f, .66f)}},
      {'B',
       0.56f,
       {L(0, 0, 0, 1), L(0, 0, .3f, 0), A(.3f, .245f, .245f, 270, 450), L(.3f, .49f, 0, .49f),
        A(.31f, .745f, .255f, 270, 450), L(.31f, 1, 0, 1)}},
      {'C',
       0.62f,
       {A(.32f, .32f, .32f, 180, 320), L(0, .32f, 0, .68f), A(.32f, .68f, .32f, 40, 180)}},
      {'D',
       0.60f,
       {L(0, 0, 0, 1), L(0, 0, .22f, 0), A(.22f, .38f, .38f, 270, 360), L(.6f, .38f, .6f, .62f),
        A(.22f, .62f, .38f, 0, 90), L(.22f, 1, 0, 1)}},
      {'E', 0.50f, {L(.5f, 0, 0, 0), L(0, 0, 0, 1), L(0, 1, .5f, 1), L(0, .49f, .42f, .49f)}},
      {'F', 0.50f, {L(.5f, 0, 0, 0), L(0, 0, 0, 1), L(0, .49f, .42f, .49f)}},
      {'G',
       0.64f,
       {A(.32f, .32f, .32f, 180, 330), L(0, .32f, 0, .68f), A(.32f, .68f, .32f, 0, 180),
        L(.64f, .68f, .64f, .54f), L(.64f, .54f, .36f, .54f)}},
      {'H', 0.60f, {L(0, 0, 0, 1), L(.6f, 0, .6f, 1), L(0, .5f, .6f, .5f)}},
      {'I', 0.0f, {L(0, 0, 0, 1)}},
      {'K', 0.56f, {L(0, 0, 0, 1), L(.56f, 0, 0, .6f), L(.18f, .45f, .56f, 1)}},
      {'L', 0.48f, {L(0, 0, 0, 1), L(0, 1, .48f, 1)}},
      {'M',
       0.72f,
       {L(0, 1, 0, 0), L(0, 0, .36f, .62f), L(.36f, .62f, .72f, 0), L(.72f, 0, .72f, 1)}},
      {'N', 0.60f, {L(0, 1, 0, 0), L(0, 0, .6f, 1), L(.6f, 1, .6f, 0)}},
      {'O',
       0.68f,
       {A(.34f, .34f, .34f, 180, 360), L(.68f, .34f, .68f, .66f), A(.34f, .66f, .34f, 0, 180),
        L(0, .66f, 0, .34f)}},
      {'P',
       0.54f,
       {L(0, 1, 0, 0), L(0, 0, .28f, 0), A(.28f, .26f, .26f, 270, 450), L(.28f, .52f, 0, .52f)}},
      {'Q',
       0.68f,
       {A(.34f, .34f, .34f, 180, 360), L(.68f, .34f, .68f, .66f), A(.34f, .66f, .34f, 0, 180),
        L(0, .66f, 0, .34f), L(.42f, .72f, .7f, 1.04f)}},
      {'R',
       0.56f,
       {L(0, 1, 0, 0), L(0, 0, .28f, 0), A(.28f, .26f, .26f, 270, 450), L(.28f, .52f, 0, .52f),
        L(.26f, .52f, .56f, 1)}},
      {'S', 0.54f, {A(.27f, .25f, .25f, 90, 340), A(.27f, .75f, .25f, 270, 520)}},
      {'T', 0.60f, {L(0, 0, .6f, 0), L(.3f, 0, .3f, 1)}},
      {'U', 0.60f, {L(0, 0, 0, .7f), A(.3f, .7f, .3f, 0, 180), L(.6f, .7f, .6f, 0)}},
      {'V', 0.64f, {L(0, 0, .32f, 1), L(.32f, 1, .64f, 0)}},
      {'W',
       0.86f,
       {L(0, 0, .2f, 1), L(.2f, 1, .43f, .3f), L(.43f, .3f, .66f, 1), L(.66f, 1, .86f, 0)}},
      {'Y', 0.60f, {L(0, 0, .3f, .5f), L(.6f, 0, .3f, .5f), L(.3f, .5f, .3f, 1)}},
      {'Z', 0.56f, {L(0, 0, .56f, 0), L(.56f, 0, 0, 1), L(0, 1, .56f, 1)}},
  };
  return glyphs;
}

// The union of one glyph's strokes placed at (x, top) at the given scale.
class GlyphShape {
public:
  GlyphShape(const Glyph& glyph, float x, float top, float scale, float halfWidth)
      : mGlyph(glyph), mX(x), mTop(top), mScale(scale), mHalf(halfWidth) {}

  float operator()(float x, float y) const {
    float best = std::numeric_limits<float>::max();
    for (const S& s : mGlyph.strokes) {
      if (s.kind == 'L') {
        ArtCapsule c{mX + s.a * mScale, mTop + s.b * mScale, mX + s.c * mScale, mTop + s.d * mScale,
                     mHalf};
        best = std::min(best, c(x, y));
      } else {
        ArtArc arc{mX + s.a * mScale, mTop + s.b * mScale, s.c * mScale,
                   ArtRadians(s.d),   ArtRadians(s.e),     mHalf};
        best = std::min(best, arc(x, y));
      }
    }
    return best;
  }

  ArtBounds Bounds() const {
    // Strokes stay within the glyph box except the tail of the Q.
    return ArtGrow({mX, mTop, mX + mGlyph.width * mScale, mTop + 1.05f * mScale}, mHalf + 1.0f);
  }

private:
  const Glyph& mGlyph;
  float mX, mTop, mScale, mHalf;
};

} // namespace

ArtLettering::ArtLettering(float capHeight, float stroke, float tracking)
    : mCapHeight(capHeight), mStroke(stroke), mTracking(tracking) {}

bool ArtLettering::HasGlyph(char c) {
  for (const Glyph& g : Glyphs())
    if (g.code == c) return true;
  return false;
}

const ArtLettering::Glyph* ArtLettering::Find(char c) const {
  for (const Glyph& g : Glyphs())
    if (g.code == c) return &g;
  return nullptr;
}

float ArtLettering::Advance(char c) const {
  const Glyph* g = Find(c);
  if (!g) g = Find(' ');
  return g->width * mCapHeight + mStroke;
}

float ArtLettering::Measure(const char* text) const {
  if (!text || !*text) return 0.0f;
  const float gap = 0.2f * mCapHeight + mTracking;
  float width = 0.0f;
  size_t n = std::strlen(text);
  for (size_t i = 0; i < n; ++i)
    width += Advance(text[i]);
  return width + gap * (float)(n - 1);
}

void ArtLettering::Draw(ArtPainter& painter, const char* text, float x, float top, ArtAlign align,
                        const ArtColour& colour) const {
  if (!text || !*text) return;
  const float width = Measure(text);
  float pen =
      align == ArtAlign::Left ? x : (align == ArtAlign::Centre ? x - width * 0.5f : x - width);
  const float gap = 0.2f * mCapHeight + mTracking;
  const float half = mStroke * 0.5f;
  for (const char* p = text; *p; ++p) {
    const Glyph* g = Find(*p);
    if (g && !g->strokes.empty()) {
      GlyphShape shape(*g, pen + half, top, mCapHeight, half);
      painter.FillSolid(shape.Bounds(), shape, colour);
    }
    pen += Advance(*p) + gap;
  }
}
