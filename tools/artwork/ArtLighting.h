#pragma once

#include "ArtColour.h"

#include <algorithm>
#include <cmath>

// One light for every image: from the upper left, in front of the panel.
// Surfaces are shaded from their normal (x right, y down, z toward the viewer)
// with a diffuse and a Blinn-Phong specular term, so knobs, screws, bezels and
// the button all agree on where the light comes from.
struct ArtVector {
  float x, y, z;
};

inline ArtVector ArtNormalise(const ArtVector& v) {
  float len = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
  return len > 0.0f ? ArtVector{v.x / len, v.y / len, v.z / len} : ArtVector{0.0f, 0.0f, 1.0f};
}

inline float ArtDot(const ArtVector& a, const ArtVector& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

inline ArtVector ArtLightDirection() {
  return ArtNormalise({-0.55f, -0.7f, 0.9f});
}

struct ArtMaterial {
  float ambient = 0.42f;
  float diffuse = 0.78f;
  float specular = 0.35f;
  float shininess = 24.0f;
};

// The colour of a surface of the given base colour and normal under the light.
// A surface facing the viewer keeps about its base colour.
inline ArtColour ArtShade(const ArtColour& base, const ArtVector& normal,
                          const ArtMaterial& material) {
  const ArtVector light = ArtLightDirection();
  const ArtVector n = ArtNormalise(normal);
  const ArtVector half = ArtNormalise({light.x, light.y, light.z + 1.0f});
  const float diffuse = std::max(0.0f, ArtDot(n, light));
  const float highlight =
      material.specular * std::pow(std::max(0.0f, ArtDot(n, half)), material.shininess);
  const float k = material.ambient + material.diffuse * diffuse;
  return ArtColour{base.r * k + highlight, base.g * k + highlight, base.b * k + highlight, base.a};
}

// The normal of a surface tilted by angle (radians) away from the viewer in
// the direction (dx, dy) in the panel plane.
inline ArtVector ArtTiltedNormal(float dx, float dy, float tilt) {
  float len = std::hypot(dx, dy);
  if (len <= 0.0f) return {0.0f, 0.0f, 1.0f};
  float s = std::sin(tilt);
  return {dx / len * s, dy / len * s, std::cos(tilt)};
}
