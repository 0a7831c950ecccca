#pragma once

#include "HalfbandAllpass.h"

// Halves the sample rate: two inputs in time order give one output, the
// mean of the two paths.
template <int N> class HalfbandDownsampler {
public:
  void SetCoefficients(const double (&coefficients)[N]) { mPaths.SetCoefficients(coefficients); }
  void Clear() { mPaths.Clear(); }

  // earlier, later: two consecutive samples at the higher rate. Path 0 takes
  // the later one.
  double Process(double earlier, double later) {
    double r0;
    double r1;
    mPaths.PairStep(later, earlier, r0, r1);
    return 0.5 * (r0 + r1);
  }

  // A block of 2 * count inputs gives count outputs, pair by pair.
  void ProcessBlock(const double* in, double* out, int count) {
    for (int n = 0; n < count; ++n)
      out[n] = Process(in[2 * n], in[2 * n + 1]);
  }

  const HalfbandAllpass<N>& Paths() const { return mPaths; }

private:
  HalfbandAllpass<N> mPaths;
};
