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
  // has the bits Value gives for it.
  static Lanes Values(Lanes v);
};

inline Lanes SaturationCurve::Values(Lanes v) {
  const Lanes sign = _mm_set1_pd(-0.0);
  const Lanes a = _mm_andnot_pd(sign, v); // |v|
  const Lanes r = a / (a + 3.0);
  const Lanes p = (r - static_cast<double>(kOffset)) * static_cast<double>(kScale);
  // Value's three cases as lane masks: below the table (or NaN), beyond its
  // end, and inside, where the truncated position is a valid index.
  const Lanes above = _mm_cmpge_pd(p, _mm_set1_pd(kCount - 1));
  const Lanes inside = _mm_andnot_pd(above, _mm_cmpgt_pd(p, _mm_set1_pd(-1.0)));
  const Lanes position = _mm_and_pd(inside, p); // 0 where outside: index 0 is safe
  const __m128i i = _mm_cvttpd_epi32(position);
  const Lanes t = position - _mm_cvtepi32_pd(i);
  const double* e = kWideEntries.data();
  const int i0 = _mm_cvtsi128_si32(i);
  const int i1 = _mm_cvtsi128_si32(_mm_shuffle_epi32(i, 1));
  const Lanes lower = MakeLanes(e[i0], e[i1]);
  const Lanes upper = MakeLanes(e[i0 + 1], e[i1 + 1]);
  const Lanes between = lower * (1.0 - t) + upper * t;
  const Lanes edge = _mm_or_pd(_mm_and_pd(above, _mm_set1_pd(e[kCount - 1])),
                               _mm_andnot_pd(above, _mm_set1_pd(e[0])));
  const Lanes m = _mm_or_pd(_mm_and_pd(inside, between), _mm_andnot_pd(inside, edge));
  // copysign(m, -v): m's magnitude with the inverse of v's sign bit.
  return _mm_or_pd(_mm_andnot_pd(sign, m), _mm_andnot_pd(v, sign));
}
