#pragma once

// The two polyphase allpass paths shared by the half-band up- and
// down-samplers. Coefficient k is one first-order allpass cell; even k belong
// to path 0, odd k to path 1, and the output of cell k feeds cell k + 2.
template <int N> struct HalfbandAllpass {
  static_assert(N >= 2, "a half-band filter needs one cell per path");

  double c[N] = {}; // cell coefficients
  double x[N] = {}; // previous cell inputs
  double y[N] = {}; // previous cell outputs

  void SetCoefficients(const double (&coefficients)[N]) {
    for (int k = 0; k < N; ++k)
      c[k] = coefficients[k];
  }

  void Clear() {
    for (int k = 0; k < N; ++k) {
      x[k] = 0.0;
      y[k] = 0.0;
    }
  }

  // One sample through each path: s0 through the even cells, s1 through the
  // odd ones, cells in increasing k.
  void PairStep(double s0, double s1, double& out0, double& out1) {
    for (int k = 0; k < N; k += 2) {
      s0 = Cell(k, s0);
      if (k + 1 < N) s1 = Cell(k + 1, s1);
    }
    out0 = s0;
    out1 = s1;
  }

private:
  double Cell(int k, double s) {
    const double t = (s - y[k]) * c[k] + x[k];
    x[k] = s;
    y[k] = t;
    return t;
  }
};
