#pragma once

// Per-pixel arithmetic shared by the compositor, the fill and the glyph
// drawing. Pixels are handled as four bytes: blue, green, red, alpha. Every
// "/ 256" is C++ integer division, truncating toward zero as the blend rules
// require; nothing here uses floating point.

#include <cstdint>

namespace lice_blend {

inline int Clamp255(int v) {
  return v < 0 ? 0 : (v > 255 ? 255 : v);
}

// Opacity 0..1 as the integer weight 0..256 (truncated); NaN counts as 0.
inline int OpacityWeight(float opacity) {
  if (!(opacity > 0.0f)) return 0;
  if (opacity >= 1.0f) return 256;
  return (int)(opacity * 256.0f);
}

inline int OverlayChannel(int d, int s) {
  return d < 128 ? d * s * 2 / 255 : 255 - (255 - d) * (255 - s) * 2 / 255;
}

// Hue 0..1535 (six sectors of 256), saturation and value 0..255.
inline void RgbToHsv(int r, int g, int b, int& h, int& s, int& v) {
  int mx = r > g ? (r > b ? r : b) : (g > b ? g : b);
  int mn = r < g ? (r < b ? r : b) : (g < b ? g : b);
  int delta = mx - mn;
  v = mx;
  if (delta == 0) {
    h = 0;
    s = 0;
    return;
  }
  s = delta * 255 / mx;
  if (mx == r) {
    h = (g - b) * 256 / delta;
    if (h < 0) h += 1536;
  } else if (mx == g) {
    h = 512 + (b - r) * 256 / delta;
  } else {
    h = 1024 + (r - g) * 256 / delta;
  }
}

inline void HsvToRgb(int h, int s, int v, int& r, int& g, int& b) {
  if (s == 0) {
    r = g = b = v;
    return;
  }
  h %= 1536;
  if (h < 0) h += 1536;
  int f = h & 255;
  int p = v * (255 - s) / 255;
  int q = v * (255 - s * f / 256) / 255;
  int t = v * (255 - s * (256 - f) / 256) / 255;
  switch (h >> 8) {
  case 0:
    r = v, g = t, b = p;
    break;
  case 1:
    r = q, g = v, b = p;
    break;
  case 2:
    r = p, g = v, b = t;
    break;
  case 3:
    r = p, g = q, b = v;
    break;
  case 4:
    r = t, g = p, b = v;
    break;
  default:
    r = v, g = p, b = q;
    break;
  }
}

// Moves the colour of d toward its HSV adjustment by s (red: hue turn in
// 1/256 of a circle, green: saturation x s/128, blue: value x s/128) with
// weight w (0..256). Alpha is kept.
inline void HsvAdjust(uint8_t* d, const uint8_t* s, int w) {
  int h, sat, val;
  RgbToHsv(d[2], d[1], d[0], h, sat, val);
  h += s[2] * 6;
  sat = Clamp255(sat * s[1] / 128);
  val = Clamp255(val * s[0] / 128);
  int r, g, b;
  HsvToRgb(h, sat, val, r, g, b);
  d[0] = (uint8_t)(d[0] + (b - d[0]) * w / 256);
  d[1] = (uint8_t)(d[1] + (g - d[1]) * w / 256);
  d[2] = (uint8_t)(d[2] + (r - d[2]) * w / 256);
}

// Compositor rules without the source-alpha flag; i is 1..256. Copy at 256 is
// handled by the callers.
inline void CopyWeighted(uint8_t* d, const uint8_t* s, int i) {
  for (int c = 0; c < 4; ++c)
    d[c] = (uint8_t)(s[c] + (d[c] - s[c]) * (256 - i) / 256);
}
inline void Add(uint8_t* d, const uint8_t* s, int i) {
  for (int c = 0; c < 4; ++c)
    d[c] = (uint8_t)Clamp255(d[c] + s[c] * i / 256);
}
inline void DodgeChannel(uint8_t& d, int s, int w) {
  int t = s * w / 256;
  d = (uint8_t)(t < 255 ? Clamp255(d * 256 / (256 - t)) : Clamp255(d * 256));
}
inline void Dodge(uint8_t* d, const uint8_t* s, int i) {
  for (int c = 0; c < 4; ++c)
    DodgeChannel(d[c], s[c], i);
}
inline void Multiply(uint8_t* d, const uint8_t* s, int i) {
  for (int c = 0; c < 4; ++c)
    d[c] = (uint8_t)((d[c] * (65536 + i * (s[c] - 256))) >> 16);
}
inline void Overlay(uint8_t* d, const uint8_t* s, int w) {
  for (int c = 0; c < 4; ++c)
    d[c] = (uint8_t)(d[c] + (OverlayChannel(d[c], s[c]) - d[c]) * w / 256);
}

// Compositor rules with the source-alpha flag; i is 1..256.
inline void CopySourceAlpha(uint8_t* d, const uint8_t* s, int i) {
  int sa = s[3];
  if (sa == 0) return;
  if (i == 256) {
    if (sa == 255) {
      d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = s[3];
      return;
    }
    int da = d[3] + sa;
    d[3] = (uint8_t)(da > 255 ? 255 : da);
    for (int c = 0; c < 3; ++c)
      d[c] = (uint8_t)(s[c] + (d[c] - s[c]) * (255 - sa) / 256);
    return;
  }
  int k = (sa + 1) * i / 256;
  int da = d[3] + k;
  d[3] = (uint8_t)(da > 255 ? 255 : da);
  for (int c = 0; c < 3; ++c)
    d[c] = (uint8_t)(s[c] + (d[c] - s[c]) * (256 - k) / 256);
}
inline void AddSourceAlpha(uint8_t* d, const uint8_t* s, int i) {
  if (s[3] == 0) return;
  int k = i * (s[3] + 1) / 256;
  for (int c = 0; c < 4; ++c)
    d[c] = (uint8_t)Clamp255(d[c] + s[c] * k / 256);
}
inline void DodgeSourceAlpha(uint8_t* d, const uint8_t* s, int i) {
  int k = i * (s[3] + 1) / 256;
  for (int c = 0; c < 4; ++c)
    DodgeChannel(d[c], s[c], k);
}
inline void MultiplySourceAlpha(uint8_t* d, const uint8_t* s, int i) {
  if (s[3] == 0) return;
  int k = i * (s[3] + 1) / 256;
  for (int c = 0; c < 4; ++c)
    d[c] = (uint8_t)(((s[c] * k + (256 - k) * 256) * d[c]) >> 16);
}
inline void OverlaySourceAlpha(uint8_t* d, const uint8_t* s, int i) {
  if (s[3] == 0) return;
  Overlay(d, s, i * (s[3] + 1) / 256);
}
inline void HsvAdjustSourceAlpha(uint8_t* d, const uint8_t* s, int i) {
  if (s[3] == 0) return;
  HsvAdjust(d, s, i * (s[3] + 1) / 256);
}

// The compositor's rule for one pixel: source s over d at weight i (1..256),
// op = the mode's low byte.
inline void ComposePixel(uint8_t* d, const uint8_t* s, int i, int op, bool sourceAlpha) {
  if (op >= 0xF0) {
    d[(op >> 2) & 3] = s[op & 3];
    return;
  }
  if (sourceAlpha) {
    switch (op) {
    case 0:
      CopySourceAlpha(d, s, i);
      return;
    case 1:
      AddSourceAlpha(d, s, i);
      return;
    case 2:
      DodgeSourceAlpha(d, s, i);
      return;
    case 3:
      MultiplySourceAlpha(d, s, i);
      return;
    case 4:
      OverlaySourceAlpha(d, s, i);
      return;
    case 5:
      HsvAdjustSourceAlpha(d, s, i);
      return;
    default:
      return;
    }
  }
  switch (op) {
  case 0:
    if (i >= 256)
      d[0] = s[0], d[1] = s[1], d[2] = s[2], d[3] = s[3];
    else
      CopyWeighted(d, s, i);
    return;
  case 1:
    Add(d, s, i);
    return;
  case 2:
    Dodge(d, s, i);
    return;
  case 3:
    Multiply(d, s, i);
    return;
  case 4:
    Overlay(d, s, i);
    return;
  case 5:
    HsvAdjust(d, s, i);
    return;
  default:
    return;
  }
}

// Fill rules for one pixel with colour bytes c (B, G, R, A) at weight i
// (1..256), operation op = the mode's low byte. Copy moves the alpha toward i,
// add/dodge/overlay use i as the source alpha.
inline void FillPixel(uint8_t* d, const uint8_t* c, int i, int op) {
  switch (op) {
  case 0:
    if (i >= 256) {
      d[0] = c[0], d[1] = c[1], d[2] = c[2], d[3] = c[3];
      return;
    }
    for (int k = 0; k < 3; ++k)
      d[k] = (uint8_t)(c[k] + (d[k] - c[k]) * (256 - i) / 256);
    d[3] = (uint8_t)(i + (d[3] - i) * (256 - i) / 256);
    return;
  case 3:
    for (int k = 0; k < 3; ++k)
      d[k] = (uint8_t)((d[k] * (i * c[k] + (256 - i) * 256)) >> 16);
    d[3] = (uint8_t)((d[3] * ((256 - i) * 256 + i * i)) >> 16);
    return;
  default:
    break;
  }
  uint8_t s[4] = {c[0], c[1], c[2], (uint8_t)(i > 255 ? 255 : i)};
  switch (op) {
  case 1:
    Add(d, s, i);
    return;
  case 2:
    Dodge(d, s, i);
    return;
  case 4:
    Overlay(d, s, i);
    return;
  case 5:
    HsvAdjust(d, s, i);
    return;
  default:
    if (op >= 0xF0) d[(op >> 2) & 3] = c[op & 3];
    return;
  }
}

} // namespace lice_blend
