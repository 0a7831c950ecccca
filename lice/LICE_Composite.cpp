#include "LICE_Composite.h"

#include "LICE_Blend.h"

#include <cstddef>
#include <cstring>

using namespace lice_blend;

namespace {

// One clipped region: rows of w pixels, h rows, walked through each bitmap's
// own row span and direction.
struct Region {
  LICE_PixelWord* dest;
  ptrdiff_t destStep;
  const LICE_PixelWord* src;
  ptrdiff_t srcStep;
  int w;
  int h;
};

// Address of pixel (x, y) of the image and the step to the next image row.
LICE_PixelWord* PixelAt(LICE_IBitmap* b, LICE_PixelWord* pixels, int x, int y, ptrdiff_t& step) {
  ptrdiff_t span = b->RowSpan();
  if (b->IsBottomUp()) {
    step = -span;
    return pixels + (ptrdiff_t)(b->Height() - 1 - y) * span + x;
  }
  step = span;
  return pixels + (ptrdiff_t)y * span + x;
}

// A bitmap whose rows are narrower than its width cannot be addressed safely.
bool Addressable(const LICE_IBitmap* b) {
  return b->RowSpan() >= b->Width();
}

template <typename PixelOp> void ForEachPixel(const Region& r, PixelOp op) {
  LICE_PixelWord* d = r.dest;
  const LICE_PixelWord* s = r.src;
  for (int y = 0; y < r.h; ++y, d += r.destStep, s += r.srcStep) {
    uint8_t* dp = (uint8_t*)d;
    const uint8_t* sp = (const uint8_t*)s;
    for (int x = 0; x < r.w; ++x, dp += 4, sp += 4)
      op(dp, sp);
  }
}

// Each rule becomes its own lambda type, so the pixel loop inlines it.
#define LICE_WEIGHTED(rule) ForEachPixel(r, [i](uint8_t* d, const uint8_t* s) { rule(d, s, i); })

} // namespace

void LICE_Composite(LICE_IBitmap* dest, LICE_IBitmap* src, int destX, int destY,
                    const LICE_Rect* srcRect, float opacity, int mode) {
  if (!dest || !src || opacity == 0.0f) return;
  if (!Addressable(dest) || !Addressable(src)) return;

  // 64-bit throughout, so that any rectangle, however large, clips correctly.
  long long right = src->Width(), bottom = src->Height();
  long long srcX = 0, srcY = 0, dx = destX, dy = destY;
  if (srcRect) {
    if (srcRect->right < right) right = srcRect->right;
    if (srcRect->bottom < bottom) bottom = srcRect->bottom;
    if (srcRect->left < 0)
      dx -= srcRect->left;
    else
      srcX = srcRect->left;
    if (srcRect->top < 0)
      dy -= srcRect->top;
    else
      srcY = srcRect->top;
  }
  if (dx < 0) srcX -= dx;
  if (dy < 0) srcY -= dy;
  long long x0 = dx > 0 ? dx : 0, y0 = dy > 0 ? dy : 0;
  long long destW = dest->Width(), destH = dest->Height();
  if (!(srcX < right && srcY < bottom && x0 < destW && y0 < destH)) return;
  if (srcX + destW - x0 < right) right = srcX + destW - x0;
  if (srcY + destH - y0 < bottom) bottom = srcY + destH - y0;
  if (!(srcX < right && srcY < bottom)) return;

  LICE_PixelWord* destPixels = dest->Pixels();
  LICE_PixelWord* srcPixels = src->Pixels();
  if (!destPixels || !srcPixels) return;

  Region r;
  r.w = (int)(right - srcX);
  r.h = (int)(bottom - srcY);
  r.dest = PixelAt(dest, destPixels, (int)x0, (int)y0, r.destStep);
  r.src = PixelAt(src, srcPixels, (int)srcX, (int)srcY, r.srcStep);

  const int op = mode & LICE_COMPOSE_MASK;
  const bool sourceAlpha = (mode & LICE_COMPOSE_SRCALPHA) != 0;

  if (op >= 0xF0) {
    const int to = (op >> 2) & 3, from = op & 3;
    ForEachPixel(r, [to, from](uint8_t* d, const uint8_t* s) { d[to] = s[from]; });
    return;
  }
  if (op == LICE_COMPOSE_COPY && !sourceAlpha) {
    if (opacity == 1.0f) {
      LICE_PixelWord* d = r.dest;
      const LICE_PixelWord* s = r.src;
      // memmove: source and destination may be the same bitmap.
      for (int y = 0; y < r.h; ++y, d += r.destStep, s += r.srcStep)
        memmove(d, s, (size_t)r.w * sizeof(LICE_PixelWord));
      return;
    }
    if (opacity == 0.5f) {
      LICE_PixelWord* d = r.dest;
      const LICE_PixelWord* s = r.src;
      for (int y = 0; y < r.h; ++y, d += r.destStep, s += r.srcStep)
        for (int x = 0; x < r.w; ++x)
          d[x] = ((d[x] >> 1) & 0x7F7F7F7Fu) + ((s[x] >> 1) & 0x7F7F7F7Fu);
      return;
    }
  }

  const int i = OpacityWeight(opacity);
  if (i == 0) return;

  if (sourceAlpha) {
    switch (op) {
    case LICE_COMPOSE_COPY:
      LICE_WEIGHTED(CopySourceAlpha);
      break;
    case LICE_COMPOSE_ADD:
      LICE_WEIGHTED(AddSourceAlpha);
      break;
    case LICE_COMPOSE_DODGE:
      LICE_WEIGHTED(DodgeSourceAlpha);
      break;
    case LICE_COMPOSE_MULTIPLY:
      LICE_WEIGHTED(MultiplySourceAlpha);
      break;
    case LICE_COMPOSE_OVERLAY:
      LICE_WEIGHTED(OverlaySourceAlpha);
      break;
    case LICE_COMPOSE_HSVADJUST:
      LICE_WEIGHTED(HsvAdjustSourceAlpha);
      break;
    default:
      break; // unknown operations draw nothing
    }
    return;
  }
  switch (op) {
  case LICE_COMPOSE_COPY:
    if (i == 256) {
      ForEachPixel(r, [](uint8_t* d, const uint8_t* s) { memcpy(d, s, 4); });
    } else {
      LICE_WEIGHTED(CopyWeighted);
    }
    break;
  case LICE_COMPOSE_ADD:
    LICE_WEIGHTED(Add);
    break;
  case LICE_COMPOSE_DODGE:
    LICE_WEIGHTED(Dodge);
    break;
  case LICE_COMPOSE_MULTIPLY:
    LICE_WEIGHTED(Multiply);
    break;
  case LICE_COMPOSE_OVERLAY:
    LICE_WEIGHTED(Overlay);
    break;
  case LICE_COMPOSE_HSVADJUST:
    LICE_WEIGHTED(HsvAdjust);
    break;
  default:
    break;
  }
}

#undef LICE_WEIGHTED

void LICE_FillArea(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_PixelWord colour,
                   float opacity, int mode) {
  if (!dest) return;
  if (mode & LICE_COMPOSE_SRCALPHA) opacity *= (float)LICE_PixelAlpha(colour) / 255.0f;
  if (opacity == 0.0f) return;
  LICE_PixelWord* pixels = dest->Pixels();
  if (!pixels || dest->RowSpan() == 0 || !Addressable(dest)) return;

  long long fx = x, fy = y, fw = w, fh = h;
  if (fx < 0) {
    fw += fx;
    fx = 0;
  }
  if (fy < 0) {
    fh += fy;
    fy = 0;
  }
  const long long bw = dest->Width(), bh = dest->Height();
  if (fw < 1 || fh < 1 || fx >= bw || fy >= bh) return;
  if (fw > bw - fx) fw = bw - fx;
  if (fh > bh - fy) fh = bh - fy;

  Region r;
  r.w = (int)fw;
  r.h = (int)fh;
  r.dest = PixelAt(dest, pixels, (int)fx, (int)fy, r.destStep);
  r.src = nullptr;
  r.srcStep = 0;

  const int op = mode & LICE_COMPOSE_MASK;
  const int i = OpacityWeight(opacity);

  if (op == LICE_COMPOSE_COPY) {
    // Word-wide fast paths for the common weights.
    const LICE_PixelWord c = colour;
    const LICE_PixelWord half = (c >> 1) & 0x7F7F7F7Fu, quarter = (c >> 2) & 0x3F3F3F3Fu;
    LICE_PixelWord* d = r.dest;
    switch (i) {
    case 256:
      for (int row = 0; row < r.h; ++row, d += r.destStep)
        for (int k = 0; k < r.w; ++k)
          d[k] = c;
      return;
    case 128:
      for (int row = 0; row < r.h; ++row, d += r.destStep)
        for (int k = 0; k < r.w; ++k)
          d[k] = ((d[k] >> 1) & 0x7F7F7F7Fu) + half;
      return;
    case 64:
      for (int row = 0; row < r.h; ++row, d += r.destStep)
        for (int k = 0; k < r.w; ++k)
          d[k] = ((d[k] >> 1) & 0x7F7F7F7Fu) + ((d[k] >> 2) & 0x3F3F3F3Fu) + quarter;
      return;
    case 192:
      for (int row = 0; row < r.h; ++row, d += r.destStep)
        for (int k = 0; k < r.w; ++k)
          d[k] = half + quarter + ((d[k] >> 2) & 0x3F3F3F3Fu);
      return;
    default:
      break;
    }
  }
  if (i == 0) return;
  if (op > LICE_COMPOSE_HSVADJUST && op < 0xF0) return;

  uint8_t c[4] = {(uint8_t)LICE_PixelBlue(colour), (uint8_t)LICE_PixelGreen(colour),
                  (uint8_t)LICE_PixelRed(colour), (uint8_t)LICE_PixelAlpha(colour)};
  LICE_PixelWord* d = r.dest;
  for (int row = 0; row < r.h; ++row, d += r.destStep) {
    uint8_t* p = (uint8_t*)d;
    for (int k = 0; k < r.w; ++k, p += 4)
      FillPixel(p, c, i, op);
  }
}
