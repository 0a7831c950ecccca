#pragma once

// Shapes for the artwork painter as signed distance functions in pixel units:
// negative inside, positive outside, the magnitude never larger than the true
// distance to the edge (the painter relies on that to skip whole pixels).
// Coordinates are continuous: pixel (i, j) covers [i, i + 1) x [j, j + 1).

#include <algorithm>
#include <cmath>

constexpr float kArtPi = 3.14159265358979f;

inline float ArtRadians(float degrees) {
  return degrees * (kArtPi / 180.0f);
}

// An axis-aligned float rectangle: what a shape may touch.
struct ArtBounds {
  float left;
  float top;
  float right;
  float bottom;
};

inline ArtBounds ArtGrow(const ArtBounds& b, float by) {
  return {b.left - by, b.top - by, b.right + by, b.bottom + by};
}

inline ArtBounds ArtUnite(const ArtBounds& a, const ArtBounds& b) {
  return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
          std::max(a.bottom, b.bottom)};
}

struct ArtCircle {
  float cx, cy, radius;
  float operator()(float x, float y) const { return std::hypot(x - cx, y - cy) - radius; }
  ArtBounds Bounds() const { return {cx - radius, cy - radius, cx + radius, cy + radius}; }
};

struct ArtRing {
  float cx, cy, inner, outer;
  float operator()(float x, float y) const {
    float d = std::hypot(x - cx, y - cy);
    return std::max(d - outer, inner - d);
  }
  ArtBounds Bounds() const { return {cx - outer, cy - outer, cx + outer, cy + outer}; }
};

// A line segment with round ends, halfWidth on each side.
struct ArtCapsule {
  float ax, ay, bx, by, halfWidth;
  float operator()(float x, float y) const {
    float px = x - ax, py = y - ay, dx = bx - ax, dy = by - ay;
    float len2 = dx * dx + dy * dy;
    float t = len2 > 0.0f ? std::clamp((px * dx + py * dy) / len2, 0.0f, 1.0f) : 0.0f;
    return std::hypot(px - dx * t, py - dy * t) - halfWidth;
  }
  ArtBounds Bounds() const {
    return {std::min(ax, bx) - halfWidth, std::min(ay, by) - halfWidth,
            std::max(ax, bx) + halfWidth, std::max(ay, by) + halfWidth};
  }
};

// A rectangle with rounded corners (radius 0: sharp).
struct ArtRoundedRect {
  float left, top, right, bottom, radius;
  float operator()(float x, float y) const {
    float hx = (right - left) * 0.5f, hy = (bottom - top) * 0.5f;
    float r = std::min(radius, std::min(hx, hy));
    float qx = std::fabs(x - (left + right) * 0.5f) - (hx - r);
    float qy = std::fabs(y - (top + bottom) * 0.5f) - (hy - r);
    float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - r;
  }
  ArtBounds Bounds() const { return {left, top, right, bottom}; }
};

// A circular arc stroke from angle start to end (radians, screen sense: 0 points
// right, positive turns clockwise because y grows downwards), round ends.
struct ArtArc {
  float cx, cy, radius, start, end, halfWidth;
  float operator()(float x, float y) const {
    float dx = x - cx, dy = y - cy;
    float phi = std::atan2(dy, dx);
    float sweep = end - start;
    float rel = std::fmod(phi - start, 2.0f * kArtPi);
    if (rel < 0.0f) rel += 2.0f * kArtPi;
    if (rel <= sweep) return std::fabs(std::hypot(dx, dy) - radius) - halfWidth;
    float ex0 = cx + radius * std::cos(start), ey0 = cy + radius * std::sin(start);
    float ex1 = cx + radius * std::cos(end), ey1 = cy + radius * std::sin(end);
    return std::min(std::hypot(x - ex0, y - ey0), std::hypot(x - ex1, y - ey1)) - halfWidth;
  }
  ArtBounds Bounds() const {
    float r = radius + halfWidth;
    return {cx - r, cy - r, cx + r, cy + r};
  }
};

// A convex polygon given clockwise (screen sense) with up to 8 corners. The
// distance is exact outside near edges and a lower bound elsewhere.
struct ArtConvexPolygon {
  float xs[8];
  float ys[8];
  int count;
  float operator()(float x, float y) const {
    float inside = -1e30f;
    float outside = 1e30f;
    bool out = false;
    for (int i = 0; i < count; ++i) {
      int j = (i + 1) % count;
      float ex = xs[j] - xs[i], ey = ys[j] - ys[i];
      float len = std::hypot(ex, ey);
      if (len <= 0.0f) continue;
      // Outward normal of a clockwise polygon in y-down coordinates.
      float side = ((x - xs[i]) * ey - (y - ys[i]) * ex) / len;
      inside = std::max(inside, side);
      if (side > 0.0f) out = true;
      float t = std::clamp(((x - xs[i]) * ex + (y - ys[i]) * ey) / (len * len), 0.0f, 1.0f);
      outside = std::min(outside, std::hypot(x - xs[i] - ex * t, y - ys[i] - ey * t));
    }
    return out ? outside : inside;
  }
  ArtBounds Bounds() const {
    ArtBounds b{xs[0], ys[0], xs[0], ys[0]};
    for (int i = 1; i < count; ++i) {
      b.left = std::min(b.left, xs[i]);
      b.right = std::max(b.right, xs[i]);
      b.top = std::min(b.top, ys[i]);
      b.bottom = std::max(b.bottom, ys[i]);
    }
    return b;
  }
};

// A connected chain of capsules (round joins), up to 64 points.
struct ArtPolyline {
  float xs[64];
  float ys[64];
  int count = 0;
  float halfWidth = 0.5f;
  void Add(float x, float y) {
    if (count < 64) {
      xs[count] = x;
      ys[count] = y;
      ++count;
    }
  }
  float operator()(float x, float y) const {
    if (count == 1) return ArtCapsule{xs[0], ys[0], xs[0], ys[0], halfWidth}(x, y);
    float best = 1e30f;
    for (int i = 0; i + 1 < count; ++i)
      best = std::min(best, ArtCapsule{xs[i], ys[i], xs[i + 1], ys[i + 1], halfWidth}(x, y));
    return best;
  }
  ArtBounds Bounds() const {
    if (count == 0) return {0.0f, 0.0f, -1.0f, -1.0f};
    ArtBounds b{xs[0], ys[0], xs[0], ys[0]};
    for (int i = 1; i < count; ++i) {
      b.left = std::min(b.left, xs[i]);
      b.right = std::max(b.right, xs[i]);
      b.top = std::min(b.top, ys[i]);
      b.bottom = std::max(b.bottom, ys[i]);
    }
    return ArtGrow(b, halfWidth);
  }
};
