#pragma once

#include <cstdint>

// Deterministic noise for surface textures: the same seed draws the same
// panel on every machine, so regenerated artwork does not change by accident.
class ArtNoise {
public:
  explicit ArtNoise(uint32_t seed) : mSeed(seed) {}

  // A hash of the lattice point to -1..1.
  float Lattice(int x, int y) const;
  // Smoothly interpolated lattice noise at (x, y), -1..1.
  float Value(float x, float y) const;
  // Vertical brushing: fine across the grain (x), long streaks along it (y).
  // About -1..1.
  float Brushed(float x, float y) const;

private:
  uint32_t mSeed;
};
