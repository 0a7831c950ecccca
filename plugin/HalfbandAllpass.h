#pragma once

#include "Lanes.h"

// The two polyphase allpass paths shared by the half-band up- and
// down-samplers. Coefficient k is one first-order allpass cell; even k belong
// to path 0, odd k to path 1, and the output of cell k feeds cell k + 2.
// T is double for one channel or Lanes for both channels side by side.
template <int N, typename T = double> struct HalfbandAllpass {
  static_assert(N >= 2, "a half-band filter needs one cell per path");

  T c[N] = {}; // cell coefficients
  T x[N] = {}; // previous cell inputs
  T y[N] = {}; // previous cell outputs

  void SetCoefficients(const double (&coefficients)[N]) {
    for (int k = 0; k < N; ++k)
      c[k] = Splat<T>(coefficients[k]);
  }

  void Clear() {
    for (int k = 0; k < N; ++k) {
      x[k] = T{};
      y[k] = T{};
    }
  }

  // One sample through each path: s0 through the even cells, s1 through the
  // odd ones, cells in increasing k.
  void PairStep(T s0, T s1, T& out0, T& out1) {
    for (int k = 0; k < N; k += 2) {
      s0 = Cell(k, s0);
      if (k + 1 < N) s1 = Cell(k + 1, s1);
    }
    out0 = s0;
    out1 = s1;
  }

private:
  T Cell(int k, T s) {
    const T t = (s - y[k]) * c[k] + x[k];
    x[k] = s;
    y[k] = t;
    return t;
  }
};
