// The stage on four lanes: (path 0 left, path 0 right, path 1 left, path 1
// right). A filter step's two paths run their cells side by side, which is
// exactly how StereoHalfband lays out its state (cell 2j of path 0 next to
// cell 2j + 1 of path 1), and the curve takes two sub-samples at a time.
// Compiled for AVX only (no FMA): each lane performs the SSE2 path's
// operations in its order.
#include "StereoStage.h"

#include "SaturationCurve.h"

#include <immintrin.h>

namespace {

using Quad = __m256d;

inline Quad Join(Lanes low, Lanes high) {
  return _mm256_insertf128_pd(_mm256_castpd128_pd256(low), high, 1);
}
inline Lanes Low(Quad q) {
  return _mm256_castpd256_pd128(q);
}
inline Lanes High(Quad q) {
  return _mm256_extractf128_pd(q, 1);
}

// StereoHalfband::PairStep with s = (s0, s1).
template <int N> Quad PairStep(StereoHalfband<N>& f, Quad s) {
  double* y = reinterpret_cast<double*>(f.y);
  const double* c = reinterpret_cast<const double*>(f.c);
  double* input = reinterpret_cast<double*>(f.input);
  Quad before = _mm256_loadu_pd(input);
  _mm256_storeu_pd(input, s);
  for (int k = 0; k < N; k += 2) {
    const Quad old = _mm256_loadu_pd(y + 2 * k);
    const Quad t =
        _mm256_add_pd(_mm256_mul_pd(_mm256_sub_pd(s, old), _mm256_loadu_pd(c + 2 * k)), before);
    _mm256_storeu_pd(y + 2 * k, t);
    before = old;
    s = t;
  }
  return s;
}

template <int N> Quad Up(StereoHalfband<N>& f, Lanes in) {
  return PairStep(f, Join(in, in));
}

template <int N> Lanes Down(StereoHalfband<N>& f, Lanes earlier, Lanes later) {
  const Quad r = PairStep(f, Join(later, earlier));
  return _mm_mul_pd(_mm_set1_pd(0.5), _mm_add_pd(Low(r), High(r)));
}

// SaturationCurve::Values on four lanes.
Quad Curve(Quad v) {
  const Quad sign = _mm256_set1_pd(-0.0);
  const Quad a = _mm256_andnot_pd(sign, v);
  const Quad r = _mm256_div_pd(a, _mm256_add_pd(a, _mm256_set1_pd(3.0)));
  const Quad p =
      _mm256_mul_pd(_mm256_sub_pd(r, _mm256_set1_pd(static_cast<double>(SaturationCurve::kOffset))),
                    _mm256_set1_pd(static_cast<double>(SaturationCurve::kScale)));
  const Quad inside = _mm256_cmp_pd(p, _mm256_set1_pd(-1.0), _CMP_GT_OQ);
  const Quad position = _mm256_and_pd(inside, p);
  const __m128i i = _mm256_cvttpd_epi32(position);
  const Quad t = _mm256_sub_pd(position, _mm256_cvtepi32_pd(i));
  alignas(16) int index[4];
  _mm_store_si128(reinterpret_cast<__m128i*>(index), i);
  const double* e = SaturationCurve::kWideEntries.data();
  const Quad lower = _mm256_set_pd(e[index[3]], e[index[2]], e[index[1]], e[index[0]]);
  const Quad upper =
      _mm256_set_pd(e[index[3] + 1], e[index[2] + 1], e[index[1] + 1], e[index[0] + 1]);
  const Quad between = _mm256_add_pd(_mm256_mul_pd(lower, _mm256_sub_pd(_mm256_set1_pd(1.0), t)),
                                     _mm256_mul_pd(upper, t));
  return _mm256_or_pd(_mm256_and_pd(inside, between), _mm256_andnot_pd(v, sign));
}

} // namespace

Lanes StereoStage::ProcessAvx(StereoStage& s, Lanes in, const Lanes (&gains)[4]) {
  const Quad u = Up(s.up2, in); // (u0, u1)
  const Quad w01 = Up(s.up4, Low(u));
  const Quad w23 = Up(s.up4, High(u));
  const Quad shaped01 = Curve(_mm256_mul_pd(Join(gains[0], gains[1]), w01));
  const Quad shaped23 = Curve(_mm256_mul_pd(Join(gains[2], gains[3]), w23));
  const Lanes d0 = Down(s.down4, Low(shaped01), High(shaped01));
  const Lanes d1 = Down(s.down4, Low(shaped23), High(shaped23));
  return Down(s.down2, d0, d1);
}
