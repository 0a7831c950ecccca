#include "ArtNoise.h"

#include <cmath>

namespace {
uint32_t Mix(uint32_t h) {
  // Integer finaliser: every input bit affects every output bit.
  h ^= h >> 16;
  h *= 0x7FEB352Du;
  h ^= h >> 15;
  h *= 0x846CA68Bu;
  h ^= h >> 16;
  return h;
}

float Fade(float t) {
  return t * t * (3.0f - 2.0f * t);
}
} // namespace

float ArtNoise::Lattice(int x, int y) const {
  uint32_t h = Mix(mSeed ^ Mix((uint32_t)x * 0x9E3779B1u ^ Mix((uint32_t)y + 0x632BE5ABu)));
  return (float)(h >> 8) / (float)(1u << 23) - 1.0f;
}

float ArtNoise::Value(float x, float y) const {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = (int)fx, iy = (int)fy;
  const float tx = Fade(x - fx), ty = Fade(y - fy);
  const float a = Lattice(ix, iy), b = Lattice(ix + 1, iy);
  const float c = Lattice(ix, iy + 1), d = Lattice(ix + 1, iy + 1);
  const float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
  return top + (bottom - top) * ty;
}

float ArtNoise::Brushed(float x, float y) const {
  // Three scales of streaks plus a little grain; the weights sum to 1.
  float v = 0.45f * Value(x * 1.0f, y / 90.0f);
  v += 0.30f * Value(x * 0.5f + 17.0f, y / 45.0f + 3.0f);
  v += 0.15f * Value(x * 0.25f + 41.0f, y / 160.0f + 7.0f);
  v += 0.10f * Value(x * 1.7f + 5.0f, y * 0.9f + 11.0f);
  return v;
}
