#pragma once

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

// Two doubles processed side by side, left channel in lane 0 and right in
// lane 1. Every arithmetic operator acts lane by lane with exactly the IEEE
// operation of the scalar code, so each lane gets the scalar result to the bit
// (the build forbids contracting multiply-adds). x86-64 always has SSE2.
using Lanes = double __attribute__((vector_size(16)));

// The value type's own spelling of a constant: a scalar for double, both lanes
// for Lanes. Lets one routine serve the scalar and the two-lane code.
template <typename T> inline T Splat(double v);
template <> inline double Splat<double>(double v) {
  return v;
}
template <> inline Lanes Splat<Lanes>(double v) {
  return _mm_set1_pd(v);
}

inline Lanes MakeLanes(double left, double right) {
  return _mm_set_pd(right, left);
}
inline double Lane(Lanes v, int lane) {
  return lane == 0 ? _mm_cvtsd_f64(v) : _mm_cvtsd_f64(_mm_unpackhi_pd(v, v));
}

// True when both lanes hold the same bit patterns in a and b (tells -0 from 0
// and compares NaNs by their bits, unlike ==).
inline bool SameBits(Lanes a, Lanes b) {
  const __m128i eq = _mm_cmpeq_epi32(_mm_castpd_si128(a), _mm_castpd_si128(b));
  return _mm_movemask_epi8(eq) == 0xFFFF;
}
inline bool SameBits(double a, double b) {
  uint64_t x;
  uint64_t y;
  std::memcpy(&x, &a, sizeof x);
  std::memcpy(&y, &b, sizeof y);
  return x == y;
}
