#pragma once

// The small value types shared by the graphics core, the controls and the
// window backends.

#include "LICE_Composite.h"
#include "LICE_IBitmap.h"
#include "LICE_IFont.h"

#include <climits>
#include <cstring>

// x truncated toward zero as an int, saturating at the int range; NaN gives
// INT_MIN. Frame choice feeds control values through it, and a value far out
// of range (or NaN) must not turn into undefined behaviour.
inline int SaturatingTrunc(double x) {
  if (!(x > static_cast<double>(INT_MIN))) return INT_MIN;
  if (x >= static_cast<double>(INT_MAX)) return INT_MAX;
  return static_cast<int>(x);
}

// Integer rectangle; right and bottom are exclusive. A box whose four fields
// are all 0 is "empty"; a zero-area box elsewhere is not. The overlap test is
// deliberately asymmetric (inclusive on the right and bottom, exclusive on the
// left and top): redraw decisions depend on it.
struct IBox {
  int L = 0;
  int T = 0;
  int R = 0;
  int B = 0;

  constexpr IBox() = default;
  constexpr IBox(int l, int t, int r, int b) : L(l), T(t), R(r), B(b) {}

  constexpr bool Empty() const { return L == 0 && T == 0 && R == 0 && B == 0; }
  constexpr int W() const { return R - L; }
  constexpr int H() const { return B - T; }
  constexpr bool Contains(int x, int y) const {
    return !Empty() && L <= x && x < R && T <= y && y < B;
  }
  constexpr bool operator==(const IBox& o) const {
    return L == o.L && T == o.T && R == o.R && B == o.B;
  }
  constexpr bool operator!=(const IBox& o) const { return !(*this == o); }

  static constexpr bool Overlaps(const IBox& a, const IBox& b) {
    return a.R >= b.L && a.L < b.R && a.B >= b.T && a.T < b.B;
  }
  static constexpr IBox Intersection(const IBox& a, const IBox& b) {
    if (a.Empty() || b.Empty() || !Overlaps(a, b)) return IBox();
    return IBox(a.L > b.L ? a.L : b.L, a.T > b.T ? a.T : b.T, a.R < b.R ? a.R : b.R,
                a.B < b.B ? a.B : b.B);
  }
  static constexpr IBox Union(const IBox& a, const IBox& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return IBox(a.L < b.L ? a.L : b.L, a.T < b.T ? a.T : b.T, a.R > b.R ? a.R : b.R,
                a.B > b.B ? a.B : b.B);
  }
};

// Colour, each channel 0..255.
struct IArgb {
  int A = 255;
  int R = 0;
  int G = 0;
  int B = 0;

  constexpr IArgb() = default;
  constexpr IArgb(int a, int r, int g, int b) : A(a), R(r), G(g), B(b) {}

  constexpr LICE_PixelWord ToPixel() const { return LICE_MakePixel(R, G, B, A); }
  // A Windows colour value (COLORREF): red in the low byte.
  constexpr unsigned int ToWindowsColour() const {
    return ((unsigned)R & 0xFF) | ((unsigned)G & 0xFF) << 8 | ((unsigned)B & 0xFF) << 16;
  }
  constexpr bool operator==(const IArgb& o) const {
    return A == o.A && R == o.R && G == o.G && B == o.B;
  }
};

// How an image is laid down: a method and an opacity 0..1.
struct IBlend {
  enum EMethod : int { BlendNormal = 0, BlendReplace = 1, BlendAdd = 2, BlendDodge = 3 };

  int method = BlendNormal;
  float weight = 1.0f;

  constexpr IBlend() = default;
  constexpr IBlend(int m, float w = 1.0f) : method(m), weight(w) {}

  // The raster library's compose mode for a blend; unknown methods and a
  // missing blend are BlendNormal.
  static constexpr int ComposeMode(const IBlend* blend) {
    switch (blend ? blend->method : BlendNormal) {
    case BlendReplace:
      return LICE_COMPOSE_COPY;
    case BlendAdd:
      return LICE_COMPOSE_ADD | LICE_COMPOSE_SRCALPHA;
    case BlendDodge:
      return LICE_COMPOSE_DODGE | LICE_COMPOSE_SRCALPHA;
    default:
      return LICE_COMPOSE_COPY | LICE_COMPOSE_SRCALPHA;
    }
  }
  // The opacity a blend draws with; a missing blend draws fully.
  static constexpr float Weight(const IBlend* blend) { return blend ? blend->weight : 1.0f; }
};

// A loaded image strip. The raster belongs to the process-wide image cache;
// it may be missing (a failed load), and then nothing is drawn for it.
struct IImage {
  LICE_IBitmap* raster = nullptr;
  int width = 0;  // of the whole strip
  int height = 0; // of the whole strip
  int frameCount = 1;
  bool framesHorizontal = false;

  IImage() = default;
  IImage(LICE_IBitmap* r, int w, int h, int frames, bool horizontal = false)
      : raster(r), width(w), height(h), frameCount(frames), framesHorizontal(horizontal) {}

  // A frame count below 1 counts as 1, so a bad count can never divide by 0.
  int Frames() const { return frameCount < 1 ? 1 : frameCount; }
  int FrameWidth() const { return framesHorizontal ? width / Frames() : width; }
  int FrameHeight() const { return framesHorizontal ? height : height / Frames(); }
};

// Text appearance for drawing and for text entry.
struct ITextStyle {
  enum EStyle : int { StyleNormal = 0, StyleBold = 1, StyleItalic = 2 };
  enum EAlign : int { AlignNear = 0, AlignCentre = 1, AlignFar = 2 };
  enum EQuality : int {
    QualityDefault = 0,
    QualityNonAntiAliased = 1,
    QualityAntiAliased = 2,
    QualityClearType = 3
  };
  static constexpr int kFaceSize = 32;

  char face[kFaceSize] = "Verdana";
  int size = 12;
  IArgb colour{255, 0, 0, 0};
  IArgb entryBackground{255, 255, 255, 255};
  IArgb entryForeground{255, 0, 0, 0};
  int style = StyleNormal;
  int align = AlignCentre;
  int orientation = 0; // degrees counter-clockwise
  int quality = QualityDefault;
  LICE_IFont* cachedFont = nullptr; // owned by the font cache

  ITextStyle() = default;
  ITextStyle(const char* faceName, int sizePixels, const IArgb& textColour,
             int styleCode = StyleNormal, int alignCode = AlignCentre)
      : size(sizePixels), colour(textColour), style(styleCode), align(alignCode) {
    SetFace(faceName);
  }
  void SetFace(const char* faceName) {
    std::memset(face, 0, sizeof(face));
    if (faceName) std::strncpy(face, faceName, kFaceSize - 1);
  }
};

// Buttons and modifiers of a mouse event; non-zero means held.
struct IMouseKeys {
  unsigned char left = 0;
  unsigned char right = 0;
  unsigned char shift = 0;
  unsigned char ctrl = 0;
  unsigned char alt = 0;

  constexpr IMouseKeys() = default;
  constexpr IMouseKeys(bool l, bool r, bool s = false, bool c = false, bool a = false)
      : left(l), right(r), shift(s), ctrl(c), alt(a) {}
};
