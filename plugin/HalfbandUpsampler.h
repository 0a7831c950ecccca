#pragma once

#include "HalfbandAllpass.h"

// Doubles the sample rate: every input sample gives two outputs, path 0's
// result first.
template <int N> class HalfbandUpsampler {
public:
  void SetCoefficients(const double (&coefficients)[N]) { mPaths.SetCoefficients(coefficients); }
  void Clear() { mPaths.Clear(); }

  void Process(double in, double& first, double& second) { mPaths.PairStep(in, in, first, second); }

  // A block of count inputs gives 2 * count outputs, in time order.
  void ProcessBlock(const double* in, double* out, int count) {
    for (int n = 0; n < count; ++n)
      Process(in[n], out[2 * n], out[2 * n + 1]);
  }

  const HalfbandAllpass<N>& Paths() const { return mPaths; }

private:
  HalfbandAllpass<N> mPaths;
};
