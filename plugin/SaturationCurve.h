#pragma once

#include "Lanes.h"

#include <array>

// The fixed transfer curve of the saturating stage: a table of 200 32-bit
// floats over r = |v| / (|v| + 3), read with linear interpolation. The curve is
// odd and inverts polarity.
class SaturationCurve {
public:
  static constexpr float kOffset = 0.0f;
  static constexpr float kScale = 142.14300537109375f; // bits 0x430E249C
  static constexpr int kCount = 200;
  static const float kEntries[kCount];
  // The entries widened to double once, so that a lookup is a plain load.
  static const std::array<double, kCount> kWideEntries;

  // Curve value of v. NaN gives 0 (read as below the table's start).
  static double Value(double v);
  // The same for both lanes at once, without branches; each lane's result
  // has the bits Value gives for it (a test checks this across the range).
  static Lanes Values(Lanes v);
};

inline Lanes SaturationCurve::Values(Lanes v) {
  const Lanes sign = _mm_set1_pd(-0.0);
  const Lanes a = _mm_andnot_pd(sign, v); // |v|
  const Lanes r = a / (a + 3.0);
  const Lanes p = (r - static_cast<double>(kOffset)) * static_cast<double>(kScale);
  // Of Value's three cases only two can occur here: r = a / (a + 3) never
  // exceeds 1, so p stays below 142.15 and never reaches the table's end;
  // only NaN (from an infinite |v|) falls outside, and gives entry 0, +0.
  const Lanes inside = _mm_cmpgt_pd(p, _mm_set1_pd(-1.0));
  const Lanes position = _mm_and_pd(inside, p); // 0 for NaN: index 0 is safe
  const __m128i i = _mm_cvttpd_epi32(position);
  const Lanes t = position - _mm_cvtepi32_pd(i);
  const double* e = kWideEntries.data();
  const int i0 = _mm_cvtsi128_si32(i);
  const int i1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(i, 1));
  const Lanes lower = MakeLanes(e[i0], e[i1]);
  const Lanes upper = MakeLanes(e[i0 + 1], e[i1 + 1]);
  const Lanes m = _mm_and_pd(inside, lower * (1.0 - t) + upper * t);
  // copysign(m, -v): m is never negative (nor -0: the entries and weights are
  // not), so its sign bit is clear and takes the inverse of v's.
  return _mm_or_pd(m, _mm_andnot_pd(v, sign));
}
